#include "platform/profile_integer.h"

namespace platform {
namespace {

constexpr std::uint64_t kMagnitudeLimit = std::uint64_t{1} << 62;
constexpr unsigned int kNoDigit = 99;

unsigned int DigitOf(wchar_t c)
{
    if (c >= L'0' && c <= L'9') {
        return static_cast<unsigned int>(c - L'0');
    }
    if (c >= L'A' && c <= L'Z') {
        return static_cast<unsigned int>(c - L'A' + 10);
    }
    if (c >= L'a' && c <= L'z') {
        return static_cast<unsigned int>(c - L'a' + 10);
    }
    return kNoDigit;
}

}  // namespace

ProfileInteger ParseProfileInteger(const std::wstring& text)
{
    ProfileInteger result;
    std::size_t pos = 0;
    while (pos < text.size() && text[pos] <= L' ') {
        ++pos;
    }
    if (pos < text.size() && (text[pos] == L'+' || text[pos] == L'-')) {
        result.negative = text[pos] == L'-';
        ++pos;
    }
    unsigned int base = 10;
    if (pos + 1 < text.size() && text[pos] == L'0') {
        const wchar_t marker = text[pos + 1];
        base = marker == L'x' ? 16 : marker == L'o' ? 8 : marker == L'b' ? 2 : 10;
        if (base != 10) {
            pos += 2;
        }
    }
    for (; pos < text.size(); ++pos) {
        const unsigned int digit = DigitOf(text[pos]);
        if (digit >= base) {
            break;
        }
        result.wrapped = result.wrapped * base + digit;
        // Compared before the product, which past 2^64 would wrap into a small number.
        result.magnitude = result.magnitude > (kMagnitudeLimit - digit) / base
                               ? kMagnitudeLimit
                               : result.magnitude * base + digit;
    }
    return result;
}

}  // namespace platform
