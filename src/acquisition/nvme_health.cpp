#include "acquisition/nvme_health.h"

#include <limits>

#include "platform/byte_order.h"
#include "platform/nvme_log.h"

namespace diag {

namespace {

namespace nvme = platform::nvme;
namespace le = platform::le;

// A 128-bit little-endian counter, saturated at the largest signed 32-bit value.
std::int32_t Saturated128(const std::uint8_t* p_pCounter)
{
    constexpr std::uint64_t kLargest = std::numeric_limits<std::int32_t>::max();
    const std::uint64_t l_nLow = le::Load64(p_pCounter);
    const std::uint64_t l_nHigh = le::Load64(p_pCounter + 8);
    return static_cast<std::int32_t>(l_nHigh != 0 || l_nLow > kLargest ? kLargest : l_nLow);
}

}  // namespace

NvmeHealth ParseHealthPage(const std::uint8_t* p_pPage)
{
    NvmeHealth l_Health;
    l_Health.CriticalWarning = p_pPage[nvme::kCriticalWarningOffset];
    l_Health.Temperature =
        static_cast<std::int32_t>(le::Load16(p_pPage + nvme::kCompositeTemperatureOffset)) -
        nvme::kKelvinAtZeroCelsius;
    l_Health.PercentageUsed = p_pPage[nvme::kPercentageUsedOffset];
    l_Health.PowerOnHours = Saturated128(p_pPage + nvme::kPowerOnHoursOffset);
    l_Health.MediaErrors = Saturated128(p_pPage + nvme::kMediaErrorsOffset);
    return l_Health;
}

}  // namespace diag
