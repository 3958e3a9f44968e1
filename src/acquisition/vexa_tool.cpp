#include "acquisition/vexa_tool.h"

#include "acquisition/sensor_names.h"

namespace MBDataAquisition {

namespace {

template <class Map>
std::int32_t LookUp(const Map& readings, const std::vector<std::wstring>& names,
                    std::uint32_t index)
{
    const auto found = readings.find(SensorNameAt(names, index));
    return found == readings.end() ? 0 : static_cast<std::int32_t>(found->second);
}

}  // namespace

std::int32_t VexaTool::GetFan(std::uint32_t p_idxValue)
{
    return LookUp(m_mapFan, SensorNames.FanNames, p_idxValue);
}

std::int32_t VexaTool::GetTemp(std::uint32_t p_idxValue)
{
    return LookUp(m_mapTemp, SensorNames.TempNames, p_idxValue);
}

std::int32_t VexaTool::GetVoltage(std::uint32_t p_idxValue)
{
    return LookUp(m_mapVoltage, SensorNames.VoltageNames, p_idxValue);
}

std::int32_t VexaTool::GetBattery(std::uint32_t p_idxValue)
{
    return LookUp(m_mapBattery, SensorNames.BatteryNames, p_idxValue);
}

}  // namespace MBDataAquisition
