#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// UTF-16LE bytes of the Windows formats (registry string values, event-log records), converted
// the same way whether wchar_t holds UTF-16 (Windows) or UTF-32 (posix).

// The text's code units, without a terminator.
std::vector<std::uint8_t> ToUtf16Le(const std::wstring& text);

// Appends the text's code units and a terminator.
void AppendUtf16Le(std::vector<std::uint8_t>& bytes, const std::wstring& text);

// The text of `units` code units read from `bytes` (unaligned access is fine); a lone surrogate
// is kept as it is.
std::wstring FromUtf16Le(const std::uint8_t* bytes, std::size_t units);

}  // namespace platform
