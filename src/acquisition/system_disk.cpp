#include "acquisition/system_disk.h"

#include <algorithm>
#include <cwctype>
#include <optional>
#include <vector>

#include "platform/disk_device.h"
#include "platform/environment.h"
#include "platform/last_error.h"
#include "platform/seam.h"
#include "settings/settings.h"
#include "support/scoped_handle.h"

namespace MBDataAquisition {

namespace {

constexpr std::uint32_t kLargestDrive = 255;  // the S.M.A.R.T. commands name a drive in one byte

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
    std::vector<std::uint32_t> l_Extents;
    if (!l_Device.VolumeDiskExtents(l_hVolume.Get(), l_Extents) || l_Extents.empty()) {
        return DriveZero(L"the disk query of the volume " + l_strVolume + L" failed (error " +
                         std::to_wstring(platform::GetLastErrorCode()) + L")");
    }
    // A volume extended on its own disk has several extents on one disk; one on several disks
    // (spanned, striped, mirrored) is watched through the disk of its first extent.
    std::vector<std::uint32_t> l_Disks;
    for (const std::uint32_t l_nDisk : l_Extents) {
        if (std::find(l_Disks.begin(), l_Disks.end(), l_nDisk) == l_Disks.end()) {
            l_Disks.push_back(l_nDisk);
        }
    }
    const std::uint32_t l_nDrive = l_Disks.front();
    if (l_nDrive > kLargestDrive) {
        return DriveZero(L"the volume " + l_strVolume + L" lies on drive " +
                         std::to_wstring(l_nDrive) + L", beyond 255");
    }
    if (l_Disks.size() > 1) {
        return Chosen(l_nDrive, L", the first of the " + std::to_wstring(l_Disks.size()) +
                                    L" disks the volume " + l_strVolume + L" spans");
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
