#include "settings/sensor_source.h"

#include "settings/settings.h"

std::wstring ReadSensorSourceSetting()
{
    return ReadIniString(L"CD1_Setup", L"Vexa", GetComputerIniPath());
}

bool UsesSpeedFanSource()
{
    return ReadSensorSourceSetting() == L"SpeedFan";
}
