#include "platform/long_path.h"

#include "platform/replaced_file.h"

namespace platform {
namespace {

const std::wstring kExtendedPrefix = L"\\\\?\\";
const std::wstring kDevicePrefix = L"\\\\.\\";

bool StartsWith(const std::wstring& text, const std::wstring& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

std::wstring ExtendedLengthPath(const std::wstring& fullPath)
{
    if (StartsWith(fullPath, kExtendedPrefix)) {
        return fullPath;
    }
    if (StartsWith(fullPath, kDevicePrefix)) {
        return kExtendedPrefix + fullPath.substr(kDevicePrefix.size());
    }
    if (StartsWith(fullPath, L"\\\\")) {
        return kExtendedPrefix + L"UNC\\" + fullPath.substr(2);
    }
    return kExtendedPrefix + fullPath;
}

std::wstring LongPathForm(const std::wstring& path, const std::wstring& fullPath)
{
    if (StartsWith(path, kExtendedPrefix) ||
        fullPath.size() + kTemporarySuffixChars < kMaxPathChars) {
        return path;
    }
    return ExtendedLengthPath(fullPath);
}

}  // namespace platform
