#pragma once

#include <string>

namespace platform {

// 8-bit text is the ANSI code page: the process's (CP_ACP) on Windows, cp1252 on posix.
// Characters the code page cannot hold become '?'.
std::string WideToAnsi(const std::wstring& text);
std::wstring AnsiToWide(const std::string& text);

// Whether `c` can be written in the ANSI code page without loss.
bool IsAnsiRepresentable(wchar_t c);

}  // namespace platform
