#include "acquisition/nvme_health.h"

#include "acquisition/device_descriptor.h"

#include <limits>

#include "platform/byte_order.h"
#include "platform/storage_query.h"

namespace diag {

namespace {

namespace storage = platform::storage;
namespace le = platform::le;

// NVMe reports temperatures in kelvin, with 273 kelvin as 0 degrees Celsius.
constexpr std::int32_t kKelvinAtZeroCelsius = 273;

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
    l_Health.CriticalWarning = p_pPage[storage::kCriticalWarningOffset];
    l_Health.Temperature =
        static_cast<std::int32_t>(le::Load16(p_pPage + storage::kCompositeTemperatureOffset)) -
        kKelvinAtZeroCelsius;
    l_Health.PercentageUsed = p_pPage[storage::kPercentageUsedOffset];
    l_Health.PowerOnHours = Saturated128(p_pPage + storage::kPowerOnHoursOffset);
    l_Health.MediaErrors = Saturated128(p_pPage + storage::kMediaErrorsOffset);
    return l_Health;
}

std::optional<NvmeHealth> ParseHealthAnswer(const std::uint8_t* p_pAnswer, std::size_t p_nSize)
{
    if (p_pAnswer == nullptr || p_nSize < storage::kProtocolDescriptorSize) {
        return std::nullopt;
    }
    const std::uint32_t l_nVersion = le::Load32(p_pAnswer + storage::kDescriptorVersionOffset);
    const std::uint32_t l_nDescriptorSize = le::Load32(p_pAnswer + storage::kDescriptorSizeOffset);
    if (l_nVersion != storage::kProtocolDescriptorSize ||
        l_nDescriptorSize < storage::kProtocolDescriptorSize || l_nDescriptorSize > p_nSize) {
        return std::nullopt;
    }
    const std::uint8_t* l_pData = p_pAnswer + storage::kProtocolDescriptorDataOffset;
    if (le::Load32(l_pData + storage::kProtocolTypeOffset) != storage::kProtocolTypeNvme ||
        le::Load32(l_pData + storage::kDataTypeOffset) != storage::kNvmeDataTypeLogPage) {
        return std::nullopt;
    }
    // The page's offset counts from the protocol-specific data; 64-bit sums cannot overflow.
    const std::uint64_t l_nOffset = le::Load32(l_pData + storage::kDataOffsetOffset);
    const std::uint64_t l_nLength = le::Load32(l_pData + storage::kDataLengthOffset);
    if (l_nOffset < storage::kProtocolDataSize || l_nOffset % 4 != 0 ||
        l_nLength < storage::kHealthPageSize ||
        storage::kProtocolDescriptorDataOffset + l_nOffset + l_nLength > p_nSize) {
        return std::nullopt;
    }
    return ParseHealthPage(l_pData + l_nOffset);
}

std::optional<std::uint32_t> ParseBusType(const std::uint8_t* p_pAnswer, std::size_t p_nSize)
{
    const std::optional<DeviceDescriptor> l_Descriptor = ParseDeviceDescriptor(p_pAnswer, p_nSize);
    if (!l_Descriptor) {
        return std::nullopt;
    }
    return l_Descriptor->busType;
}

}  // namespace diag
