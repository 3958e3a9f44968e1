#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace MBDataAquisition {

// How many sensors of each kind the active data source provides and what they are called.
// Written by the data source's constructor, read by the setpoint reader and the data list.
struct SensorNameTable {
    std::vector<std::wstring> FanNames;
    std::vector<std::wstring> TempNames;
    std::vector<std::wstring> VoltageNames;
    std::vector<std::wstring> BatteryNames;
    std::uint32_t FanCount = 0;
    std::uint32_t TempCount = 0;
    std::uint32_t VoltageCount = 0;
};

// The process-wide table; it keeps its content from one worker run to the next.
extern SensorNameTable SensorNames;

// Highest index a name list stores; names at higher indexes are dropped.
inline constexpr std::uint32_t kMaxSensorNameIndex = 32;

// Stores `name` at `index`, growing the list as needed; ignored above kMaxSensorNameIndex.
void StoreSensorName(std::vector<std::wstring>& names, std::uint32_t index,
                     const std::wstring& name);

// The name at `index`, or the empty text when the list has no such entry.
std::wstring SensorNameAt(const std::vector<std::wstring>& names, std::uint32_t index);

}  // namespace MBDataAquisition
