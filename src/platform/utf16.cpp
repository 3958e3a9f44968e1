#include "platform/utf16.h"

#include "platform/byte_order.h"

namespace platform {
namespace {

void AppendUnit(std::vector<std::uint8_t>& bytes, std::uint32_t unit)
{
    bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>((unit >> 8) & 0xFF));
}

void AppendText(std::vector<std::uint8_t>& bytes, const std::wstring& text)
{
    for (wchar_t c : text) {
        const auto code = static_cast<std::uint32_t>(c);
        if (code > 0xFFFF && code <= 0x10FFFF) {
            const std::uint32_t offset = code - 0x10000;
            AppendUnit(bytes, 0xD800 + (offset >> 10));
            AppendUnit(bytes, 0xDC00 + (offset & 0x3FF));
        } else {
            AppendUnit(bytes, code & 0xFFFF);
        }
    }
}

}  // namespace

std::vector<std::uint8_t> ToUtf16Le(const std::wstring& text)
{
    std::vector<std::uint8_t> bytes;
    bytes.reserve(text.size() * 2);
    AppendText(bytes, text);
    return bytes;
}

void AppendUtf16Le(std::vector<std::uint8_t>& bytes, const std::wstring& text)
{
    AppendText(bytes, text);
    AppendUnit(bytes, 0);
}

std::wstring FromUtf16Le(const std::uint8_t* bytes, std::size_t units)
{
    std::wstring text;
    text.reserve(units);
    for (std::size_t i = 0; i < units; ++i) {
        const std::uint32_t unit = le::Load16(bytes + 2 * i);
        if constexpr (sizeof(wchar_t) == 4) {
            if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < units) {
                const std::uint32_t low = le::Load16(bytes + 2 * i + 2);
                if (low >= 0xDC00 && low < 0xE000) {
                    text.push_back(
                        static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00)));
                    ++i;
                    continue;
                }
            }
        }
        text.push_back(static_cast<wchar_t>(unit));
    }
    return text;
}

}  // namespace platform
