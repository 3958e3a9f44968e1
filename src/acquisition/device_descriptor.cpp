#include "acquisition/device_descriptor.h"

namespace diag {

namespace {

std::wstring Trimmed(const std::string& p_strText)
{
    std::wstring l_strText;
    for (const char c : p_strText) {
        l_strText += static_cast<wchar_t>(static_cast<unsigned char>(c));
    }
    const std::size_t l_nFirst = l_strText.find_first_not_of(L' ');
    if (l_nFirst == std::wstring::npos) {
        return {};
    }
    return l_strText.substr(l_nFirst, l_strText.find_last_not_of(L' ') - l_nFirst + 1);
}

}  // namespace

DeviceDescriptor Describe(const platform::StorageDescriptor& p_Descriptor)
{
    DeviceDescriptor l_Descriptor;
    l_Descriptor.busType = p_Descriptor.busType;
    l_Descriptor.serial = Trimmed(p_Descriptor.serial);
    // Many drivers split an ATA model between the vendor and the product texts; the ATA driver
    // names "ATA" as the vendor of every drive.
    const std::wstring l_strVendor = Trimmed(p_Descriptor.vendor);
    l_Descriptor.model = Trimmed(p_Descriptor.product);
    if (!l_strVendor.empty() && l_strVendor != L"ATA") {
        l_Descriptor.model =
            l_Descriptor.model.empty() ? l_strVendor : l_strVendor + L" " + l_Descriptor.model;
    }
    return l_Descriptor;
}

}  // namespace diag
