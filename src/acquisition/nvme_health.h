#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

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

// The health page in the driver's answer to the health query, of which `p_nSize` bytes were
// returned: nothing unless the descriptor has the expected version, a size within the answer,
// the NVMe protocol and the log-page data type, and names a DWORD-aligned page of at least 512
// bytes that lies after the protocol-specific data and inside the answer.
std::optional<NvmeHealth> ParseHealthAnswer(const std::uint8_t* p_pAnswer, std::size_t p_nSize);

// The bus type of a device descriptor of which `p_nSize` bytes were returned; nothing when the
// answer or the descriptor's own size ends before the bus type.
std::optional<std::uint32_t> ParseBusType(const std::uint8_t* p_pAnswer, std::size_t p_nSize);

}  // namespace diag
