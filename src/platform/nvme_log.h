#pragma once

#include <cstddef>
#include <cstdint>

// The SMART / Health Information log page (log identifier 02h) as NVMe drives return it,
// little-endian (as the NVM Express base standard lays it out): the fields the disk source reads.
namespace platform::nvme {

inline constexpr std::size_t kPageSize = 512;
inline constexpr std::size_t kCriticalWarningOffset = 0;
inline constexpr std::size_t kCompositeTemperatureOffset = 1;  // 16 bits, kelvin
inline constexpr std::size_t kPercentageUsedOffset = 5;
inline constexpr std::size_t kPowerOnHoursOffset = 128;  // 128 bits
inline constexpr std::size_t kMediaErrorsOffset = 160;   // 128 bits

// The temperatures are in kelvin, 273 kelvin counting as 0 degrees Celsius.
inline constexpr std::int32_t kKelvinAtZeroCelsius = 273;

}  // namespace platform::nvme
