#include "settings/sensor_source.h"

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

bool UsesSpeedFanSource()
{
    return ReadSensorSourceSetting() == L"SpeedFan";
}
