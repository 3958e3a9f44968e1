#include "platform/disk_device.h"

#include "platform/text.h"

namespace platform {
namespace {

const wchar_t kDrivePrefix[] = L"\\\\.\\PHYSICALDRIVE";
constexpr std::size_t kDrivePrefixChars = sizeof kDrivePrefix / sizeof kDrivePrefix[0] - 1;
constexpr std::size_t kMostDigits = 3;

}  // namespace

std::wstring PhysicalDrivePath(std::uint32_t drive)
{
    return kDrivePrefix + std::to_wstring(drive);
}

std::optional<std::uint32_t> PhysicalDriveNumber(const std::wstring& path)
{
    if (path.size() <= kDrivePrefixChars || path.size() > kDrivePrefixChars + kMostDigits ||
        !EqualNoCase(path.substr(0, kDrivePrefixChars), kDrivePrefix)) {
        return std::nullopt;
    }
    std::uint32_t drive = 0;
    for (std::size_t i = kDrivePrefixChars; i < path.size(); ++i) {
        if (path[i] < L'0' || path[i] > L'9') {
            return std::nullopt;
        }
        drive = drive * 10 + static_cast<std::uint32_t>(path[i] - L'0');
    }
    return drive;
}

}  // namespace platform
