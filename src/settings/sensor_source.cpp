#include "settings/sensor_source.h"

#include "platform/profile.h"
#include "platform/seam.h"
#include "settings/settings.h"

std::wstring ReadSensorSourceSetting()
{
    return ReadIniString(L"CD1_Setup", L"Vexa", GetComputerIniPath());
}

std::wstring ProbeSectionName()
{
    const std::wstring l_strSection = ReadSensorSourceSetting();
    return l_strSection.empty() ? std::wstring(L"MbProbe") : l_strSection;
}

std::wstring ReadHistoryFilePath()
{
    if (UsesSpeedFanSource()) {
        return {};
    }
    return platform::Use<platform::Profile>().GetString(ProbeSectionName(), L"HistoryFile", L"",
                                                        kHistoryFileBuffer, GetComputerIniPath());
}

bool UsesSpeedFanSource()
{
    return ReadSensorSourceSetting() == L"SpeedFan";
}
