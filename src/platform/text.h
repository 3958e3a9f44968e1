#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
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

// cp1252, the ANSI code page of posix and of the log on every platform: the byte of `c`, or -1
// when the code page cannot hold it, and the character of a byte. The five bytes the code page
// leaves undefined stand for the control characters of the same value, as Windows maps them.
int Cp1252Byte(wchar_t c);
wchar_t Cp1252Char(unsigned char byte);

// One character of UTF-8 at `pos` (below the size of `bytes`): its code point and its length in
// bytes; length 0 where the bytes are no UTF-8 (a cut or overlong form, a surrogate, a code point
// beyond U+10FFFF, a byte that cannot begin a character).
struct Utf8Char {
    std::uint32_t code;
    std::size_t length;
};
Utf8Char DecodeUtf8(const std::string& bytes, std::size_t pos);
// Appends the UTF-8 of a code point; a surrogate or a value beyond U+10FFFF becomes U+FFFD.
void AppendUtf8(std::string& out, std::uint32_t code);

// The UTF-16 code units of UTF-8 text, as Windows sees the text, on every platform (a character
// beyond U+FFFF becomes a surrogate pair of wide characters); nothing when the bytes are no UTF-8.
std::optional<std::wstring> Utf8ToUtf16(const std::string& bytes);

// Whether `c` can be written in the ANSI code page without loss.
bool IsAnsiRepresentable(wchar_t c);

// Upper case as the system's file names and settings names compare (CharUpperBuffW on Windows;
// Latin, Greek and Cyrillic letters on posix).
std::wstring UpperCase(const std::wstring& text);

// Whether two names are equal without regard to case.
bool EqualNoCase(const std::wstring& a, const std::wstring& b);

}  // namespace platform
