#pragma once

#include <cstddef>
#include <string>

namespace platform {

// 8-bit text is the ANSI code page: the process's (CP_ACP) on Windows, cp1252 on posix.
// Characters the code page cannot hold become '?'.
std::string WideToAnsi(const std::wstring& text);
std::wstring AnsiToWide(const std::string& text);
// The same conversion straight into the caller's buffer of at least `bytes` characters (no code
// page gives more characters than bytes), for secrets that must not be copied anywhere else.
// The number of characters written.
std::size_t AnsiToWide(const char* text, std::size_t bytes, wchar_t* out);

// UTF-8 text (an INI file that begins with its byte-order mark). Bytes that are not UTF-8 come
// back unchanged from WideToUtf8(Utf8ToWide(bytes)) on posix; Windows replaces them.
std::wstring Utf8ToWide(const std::string& bytes);
std::string WideToUtf8(const std::wstring& text);

// Whether `c` can be written in the ANSI code page without loss.
bool IsAnsiRepresentable(wchar_t c);

// Upper case as the system's file names and settings names compare (CharUpperBuffW on Windows;
// Latin, Greek and Cyrillic letters on posix).
std::wstring UpperCase(const std::wstring& text);

// Whether two names are equal without regard to case.
bool EqualNoCase(const std::wstring& a, const std::wstring& b);

}  // namespace platform
