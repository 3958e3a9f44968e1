#include "common/process_variable.h"

#include <windows.h>

namespace testing_support {

bool ReadProcessVariable(const std::wstring& name, std::wstring& value)
{
    wchar_t buffer[32767];
    SetLastError(ERROR_SUCCESS);
    const DWORD length = GetEnvironmentVariableW(name.c_str(), buffer, 32767);
    if (length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) {
        return false;
    }
    value.assign(buffer, length);
    return true;
}

void WriteProcessVariable(const std::wstring& name, const std::wstring* value)
{
    SetEnvironmentVariableW(name.c_str(), value != nullptr ? value->c_str() : nullptr);
}

}  // namespace testing_support
