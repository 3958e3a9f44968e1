#pragma once

#include <cstdint>

namespace diag {

// The readings the monitor takes from an NVMe drive's SMART / Health Information log page. The
// two 128-bit counters are saturated at the largest signed 32-bit value, the unit of a field's
// reading; the composite temperature is converted from kelvin to degrees Celsius.
struct NvmeHealth {
    std::uint8_t CriticalWarning = 0;
    std::int32_t Temperature = 0;  // degrees Celsius
    std::uint8_t PercentageUsed = 0;
    std::int32_t PowerOnHours = 0;
    std::int32_t MediaErrors = 0;
};

// The readings of a 512-byte health page.
NvmeHealth ParseHealthPage(const std::uint8_t* p_pPage);

}  // namespace diag
