#include "acquisition/system_disk.h"

#include <array>
#include <cwctype>
#include <optional>

#include "platform/byte_order.h"
#include "platform/disk_device.h"
#include "platform/environment.h"
#include "platform/last_error.h"
#include "platform/seam.h"
#include "platform/volume_extents.h"
#include "settings/settings.h"
#include "support/scoped_handle.h"

namespace MBDataAquisition {

namespace {

namespace volume = platform::volume;

constexpr std::uint32_t kLargestDrive = 255;  // SENDCMDINPARAMS holds the drive in one byte

SystemDiskChoice Chosen(std::uint32_t p_nDrive, const std::wstring& p_strHow)
{
    return {static_cast<std::uint8_t>(p_nDrive),
            L"System disk: drive " + std::to_wstring(p_nDrive) + p_strHow};
}

SystemDiskChoice DriveZero(const std::wstring& p_strWhy)
{
    return {0, L"System disk: drive 0, " + p_strWhy};
}

// "C:" of %SystemRoot%, or "C:" when it names no drive letter.
std::wstring WindowsVolume()
{
    const std::optional<std::wstring> l_strRoot =
        platform::Use<platform::Environment>().Get(L"SystemRoot");
    if (l_strRoot && l_strRoot->size() >= 2 && std::iswalpha((*l_strRoot)[0]) &&
        (*l_strRoot)[1] == L':') {
        return {static_cast<wchar_t>(std::towupper((*l_strRoot)[0])), L':'};
    }
    return L"C:";
}

SystemDiskChoice AskTheVolume()
{
    const std::wstring l_strVolume = WindowsVolume();
    platform::DiskDevice& l_Device = platform::Use<platform::DiskDevice>();
    const platform::Handle l_hOpened = l_Device.OpenForQuery(L"\\\\.\\" + l_strVolume);
    const unsigned long l_nOpenError = platform::GetLastErrorCode();
    const utils::ScopedHandle l_hVolume(
        l_hOpened, [&l_Device](platform::Handle p_hVolume) { l_Device.Close(p_hVolume); });
    if (!l_hVolume.IsValid()) {
        return DriveZero(L"the volume " + l_strVolume + L" cannot be opened (error " +
                         std::to_wstring(l_nOpenError) + L")");
    }
    std::array<std::uint8_t, volume::kExtentsSize> l_Extents{};
    std::uint32_t l_nBytes = 0;
    const int l_nResult =
        l_Device.Control(l_hVolume.Get(), volume::kGetDiskExtents, nullptr, 0, l_Extents.data(),
                         static_cast<std::uint32_t>(l_Extents.size()), l_nBytes);
    const unsigned long l_nError = platform::GetLastErrorCode();
    const std::uint32_t l_nCount =
        l_nBytes >= 4 ? platform::le::Load32(l_Extents.data() + volume::kExtentCountOffset) : 0;
    if (l_nResult == 0 && l_nError == platform::kErrorMoreData && l_nCount > 1) {
        return DriveZero(L"the volume " + l_strVolume + L" spans " + std::to_wstring(l_nCount) +
                         L" disks");
    }
    if (l_nResult == 0) {
        return DriveZero(L"the disk query of the volume " + l_strVolume + L" failed (error " +
                         std::to_wstring(l_nError) + L")");
    }
    if (l_nBytes < volume::kExtentsSize || l_nCount != 1) {
        return DriveZero(L"the volume " + l_strVolume + L" named " + std::to_wstring(l_nCount) +
                         L" disks");
    }
    const std::uint32_t l_nDrive = platform::le::Load32(
        l_Extents.data() + volume::kFirstExtentOffset + volume::kExtentDiskNumberOffset);
    if (l_nDrive > kLargestDrive) {
        return DriveZero(L"the volume " + l_strVolume + L" lies on drive " +
                         std::to_wstring(l_nDrive) + L", beyond 255");
    }
    return Chosen(l_nDrive, L"");
}

}  // namespace

SystemDiskChoice ChooseSystemDisk() noexcept
{
    try {
        const std::wstring l_strKey = ReadIniString(L"HDD", L"Drive", GetComputerIniPath());
        if (!l_strKey.empty()) {
            std::size_t l_nDigits = 0;
            std::uint32_t l_nDrive = 0;
            while (l_nDigits < l_strKey.size() && l_strKey[l_nDigits] >= L'0' &&
                   l_strKey[l_nDigits] <= L'9' && l_nDrive <= kLargestDrive) {
                l_nDrive = l_nDrive * 10 + static_cast<std::uint32_t>(l_strKey[l_nDigits] - L'0');
                ++l_nDigits;
            }
            if (l_nDigits == 0 || l_nDigits != l_strKey.size() || l_nDrive > kLargestDrive) {
                return DriveZero(L"key \"Drive\" of [HDD] is no drive number: " + l_strKey);
            }
            return Chosen(l_nDrive, L" (key \"Drive\" of [HDD])");
        }
        return AskTheVolume();
    } catch (...) {
        return {};
    }
}

}  // namespace MBDataAquisition
