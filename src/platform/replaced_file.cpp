#include "platform/replaced_file.h"

namespace platform {

std::wstring TemporaryFileOf(const std::wstring& path, std::uint64_t nonce)
{
    static const wchar_t kHexDigits[] = L"0123456789abcdef";
    std::wstring name = path;
    name.reserve(path.size() + kTemporarySuffixChars);
    name += L'.';
    for (int shift = 60; shift >= 0; shift -= 4) {
        name += kHexDigits[(nonce >> shift) & 0xF];
    }
    name += L".tmp";
    return name;
}

}  // namespace platform
