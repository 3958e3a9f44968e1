#include "platform/text.h"

#include "platform/posix/native_path_posix.h"

#include <array>
#include <cstdint>

namespace platform {
namespace {

wchar_t ToUpperChar(wchar_t c)
{
    const auto code = static_cast<std::uint32_t>(c);
    if (code >= 'a' && code <= 'z') {
        return static_cast<wchar_t>(code - 0x20);
    }
    if (code < 0xE0) {
        return c;
    }
    if (code <= 0xFE && code != 0xF7) {
        return static_cast<wchar_t>(code - 0x20);
    }
    if (code == 0xFF) {
        return static_cast<wchar_t>(0x178);
    }
    // Latin Extended-A: pairs of capital (even) and small (odd) letters, except the ranges
    // where the pairs start on an odd code point.
    if ((code >= 0x100 && code <= 0x137) || (code >= 0x14A && code <= 0x177)) {
        return static_cast<wchar_t>(code & ~1U);
    }
    if ((code >= 0x139 && code <= 0x148) || (code >= 0x179 && code <= 0x17E)) {
        return static_cast<wchar_t>((code & 1U) != 0 ? code : code - 1);
    }
    if (code >= 0x3B1 && code <= 0x3C9 && code != 0x3C2) {
        return static_cast<wchar_t>(code - 0x20);
    }
    if (code >= 0x430 && code <= 0x44F) {
        return static_cast<wchar_t>(code - 0x20);
    }
    if (code >= 0x450 && code <= 0x45F) {
        return static_cast<wchar_t>(code - 0x50);
    }
    return c;
}

}  // namespace

std::string WideToAnsi(const std::wstring& text)
{
    std::string result;
    result.reserve(text.size());
    for (wchar_t c : text) {
        const int byte = Cp1252Byte(c);
        result.push_back(byte < 0 ? '?' : static_cast<char>(byte));
    }
    return result;
}

std::size_t AnsiToWide(const char* text, std::size_t bytes, wchar_t* out)
{
    for (std::size_t i = 0; i < bytes; ++i) {
        out[i] = Cp1252Char(static_cast<unsigned char>(text[i]));
    }
    return bytes;
}

std::wstring AnsiToWide(const std::string& text)
{
    std::wstring result(text.size(), L'\0');
    result.resize(AnsiToWide(text.data(), text.size(), &result[0]));
    return result;
}

std::wstring Utf8ToWide(const std::string& bytes)
{
    return posix::FromNative(bytes);
}

std::string WideToUtf8(const std::wstring& text)
{
    return posix::ToNative(text);
}

bool IsAnsiRepresentable(wchar_t c)
{
    return Cp1252Byte(c) >= 0;
}

std::wstring UpperCase(const std::wstring& text)
{
    std::wstring result(text);
    for (wchar_t& c : result) {
        c = ToUpperChar(c);
    }
    return result;
}

bool EqualNoCase(const std::wstring& a, const std::wstring& b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (ToUpperChar(a[i]) != ToUpperChar(b[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace platform
