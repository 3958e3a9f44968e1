#include "settings/values_file.h"

#include "settings/settings.h"

std::wstring GetValuesFilePath()
{
    return ResolvePath(L"%temp%\\VexaValues.ini", L"c:\\temp\\VexaValues.ini");
}
