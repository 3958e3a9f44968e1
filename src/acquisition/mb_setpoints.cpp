#include "acquisition/mb_setpoints.h"

#include "acquisition/leading_number.h"
#include "acquisition/sensor_names.h"
#include "settings/settings.h"

namespace MBDataAquisition {

void MBSetpoints::Update()
{
    if (m_strSection.empty()) {
        m_strSection = L"MBProbe";
    }
    const std::wstring l_strIniFile = GetComputerIniPath();

    // The counts are compared on every step: they are whatever the active source published.
    for (std::uint32_t i = 0; i < SensorNames.FanCount; ++i) {
        const std::wstring l_strName = SensorNameAt(SensorNames.FanNames, i);
        m_mapFan[l_strName] = ReadIniInt(m_strSection, l_strName, 0, l_strIniFile);
    }
    for (std::uint32_t i = 0; i < SensorNames.TempCount; ++i) {
        const std::wstring l_strName = SensorNameAt(SensorNames.TempNames, i);
        m_mapTemp[l_strName] = ReadIniInt(m_strSection, l_strName, 0, l_strIniFile);
    }
    for (std::uint32_t i = 0; i < SensorNames.VoltageCount; ++i) {
        const std::wstring l_strName = SensorNameAt(SensorNames.VoltageNames, i);
        m_mapVoltage[l_strName] =
            LeadingInteger(ReadIniString(m_strSection, l_strName, l_strIniFile));
    }
}

}  // namespace MBDataAquisition
