#include "platform/text.h"

#include <array>

namespace platform {
namespace {

// cp1252 bytes 0x80..0x9F. The five bytes the code page leaves undefined map to the control
// characters of the same value, as Windows maps them, so any byte sequence survives a round trip.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr std::uint32_t kReplacement = 0xFFFD;

bool IsSurrogate(std::uint32_t code)
{
    return code >= 0xD800 && code <= 0xDFFF;
}

}  // namespace

int Cp1252Byte(wchar_t c)
{
    const auto code = static_cast<std::uint32_t>(c);
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
        return static_cast<int>(code);
    }
    for (std::size_t i = 0; i < kCp1252High.size(); ++i) {
        if (kCp1252High[i] == code) {
            return static_cast<int>(0x80 + i);
        }
    }
    return -1;
}

wchar_t Cp1252Char(unsigned char byte)
{
    return byte >= 0x80 && byte < 0xA0 ? static_cast<wchar_t>(kCp1252High[byte - 0x80])
                                       : static_cast<wchar_t>(byte);
}

Utf8Char DecodeUtf8(const std::string& bytes, std::size_t pos)
{
    const auto lead = static_cast<unsigned char>(bytes[pos]);
    std::size_t length = lead < 0x80                   ? 1
                         : lead >= 0xC2 && lead < 0xE0 ? 2
                         : lead >= 0xE0 && lead < 0xF0 ? 3
                         : lead >= 0xF0 && lead < 0xF5 ? 4
                                                       : 0;
    std::uint32_t code = length == 1   ? lead
                         : length == 2 ? lead & 0x1FU
                         : length == 3 ? lead & 0x0FU
                                       : lead & 0x07U;
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = pos + k < bytes.size() ? static_cast<unsigned char>(bytes[pos + k]) : 0U;
        if ((next & 0xC0U) != 0x80U) {
            return {0, 0};
        }
        code = (code << 6) | (next & 0x3FU);
    }
    // An overlong form would let two byte sequences stand for one text. Two-byte forms cannot be
    // overlong with a lead byte from 0xC2.
    const bool overlong =
        (length == 3 && code < 0x800) || (length == 4 && (code < 0x10000 || code > 0x10FFFF));
    if (length == 0 || overlong || IsSurrogate(code)) {
        return {0, 0};
    }
    return {code, length};
}

void AppendUtf8(std::string& out, std::uint32_t code)
{
    if (IsSurrogate(code) || code > 0x10FFFF) {
        code = kReplacement;
    }
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

std::optional<std::wstring> Utf8ToUtf16(const std::string& bytes)
{
    std::wstring units;
    for (std::size_t i = 0; i < bytes.size();) {
        const Utf8Char next = DecodeUtf8(bytes, i);
        if (next.length == 0) {
            return std::nullopt;
        }
        i += next.length;
        if (next.code >= 0x10000) {
            const std::uint32_t offset = next.code - 0x10000;
            units.push_back(static_cast<wchar_t>(0xD800 + (offset >> 10)));
            units.push_back(static_cast<wchar_t>(0xDC00 + (offset & 0x3FF)));
        } else {
            units.push_back(static_cast<wchar_t>(next.code));
        }
    }
    return units;
}

}  // namespace platform
