#pragma once

#include <cstdint>

namespace MBDataContainer {

// The four limits of a field's tolerance bands, S·P/100 truncated toward zero. Computed in 64
// bits: for every setpoint and percentage whose product fits 32 bits the results equal 32-bit
// arithmetic, and a setpoint read from a mistyped settings value cannot overflow.
struct BandLimits {
    std::int64_t lowerError;
    std::int64_t lowerWarning;
    std::int64_t upperError;
    std::int64_t upperWarning;
};

BandLimits ComputeBandLimits(std::int32_t setpoint, std::int32_t warningPercent,
                             std::int32_t errorPercent);

// |value| without overflow for the most negative 32-bit value.
inline std::int64_t Magnitude(std::int32_t value)
{
    const std::int64_t wide = value;
    return wide < 0 ? -wide : wide;
}

}  // namespace MBDataContainer
