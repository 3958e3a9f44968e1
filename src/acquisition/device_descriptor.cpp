#include "acquisition/device_descriptor.h"

#include <algorithm>

#include "platform/byte_order.h"
#include "platform/storage_query.h"

namespace diag {

namespace {

namespace storage = platform::storage;

std::wstring TextAt(const std::uint8_t* p_pAnswer, std::size_t p_nEnd, std::size_t p_nOffsetField)
{
    const std::size_t l_nOffset = platform::le::Load32(p_pAnswer + p_nOffsetField);
    std::wstring l_strText;
    if (l_nOffset == 0) {
        return l_strText;
    }
    for (std::size_t i = l_nOffset; i < p_nEnd && p_pAnswer[i] != 0; ++i) {
        l_strText += static_cast<wchar_t>(p_pAnswer[i]);
    }
    const std::size_t l_nFirst = l_strText.find_first_not_of(L' ');
    if (l_nFirst == std::wstring::npos) {
        return {};
    }
    return l_strText.substr(l_nFirst, l_strText.find_last_not_of(L' ') - l_nFirst + 1);
}

}  // namespace

std::optional<DeviceDescriptor> ParseDeviceDescriptor(const std::uint8_t* p_pAnswer,
                                                      std::size_t p_nSize)
{
    constexpr std::size_t kEnd = storage::kDeviceBusTypeOffset + 4;
    if (p_pAnswer == nullptr || p_nSize < kEnd) {
        return std::nullopt;
    }
    const std::size_t l_nDescriptorSize =
        platform::le::Load32(p_pAnswer + storage::kDescriptorSizeOffset);
    if (l_nDescriptorSize < kEnd) {
        return std::nullopt;
    }
    const std::size_t l_nEnd = std::min(p_nSize, l_nDescriptorSize);
    DeviceDescriptor l_Descriptor;
    l_Descriptor.busType = platform::le::Load32(p_pAnswer + storage::kDeviceBusTypeOffset);
    // Many drivers split an ATA model between the vendor and the product texts; the ATA driver
    // names "ATA" as the vendor of every drive.
    const std::wstring l_strVendor = TextAt(p_pAnswer, l_nEnd, storage::kVendorIdOffsetOffset);
    l_Descriptor.model = TextAt(p_pAnswer, l_nEnd, storage::kProductIdOffsetOffset);
    if (!l_strVendor.empty() && l_strVendor != L"ATA") {
        l_Descriptor.model =
            l_Descriptor.model.empty() ? l_strVendor : l_strVendor + L" " + l_Descriptor.model;
    }
    l_Descriptor.serial = TextAt(p_pAnswer, l_nEnd, storage::kSerialNumberOffsetOffset);
    return l_Descriptor;
}

}  // namespace diag
