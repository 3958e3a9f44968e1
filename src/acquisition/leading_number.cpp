#include "acquisition/leading_number.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace MBDataAquisition {

namespace {

template <class Char>
bool IsSpace(Char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

template <class Char>
bool IsDigit(Char c)
{
    return c >= '0' && c <= '9';
}

// The position after leading white space and an optional sign.
template <class Char>
std::size_t SkipSpaceAndSign(std::basic_string_view<Char> text, bool& negative)
{
    std::size_t pos = 0;
    while (pos < text.size() && IsSpace(text[pos])) {
        ++pos;
    }
    negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    return pos;
}

template <class Char>
std::int32_t ParseInteger(std::basic_string_view<Char> text)
{
    bool negative = false;
    std::size_t pos = SkipSpaceAndSign(text, negative);
    // Accumulate as a negative number so INT32_MIN is reachable, saturating on overflow.
    constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
    std::int64_t value = 0;
    for (; pos < text.size() && IsDigit(text[pos]); ++pos) {
        value = value * 10 - (text[pos] - '0');
        if (value < kMin) {
            value = kMin - 1;
        }
    }
    if (!negative) {
        value = -value;
    }
    if (value > std::numeric_limits<std::int32_t>::max()) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (value < kMin) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(value);
}

std::size_t SkipDigits(std::string_view text, std::size_t pos)
{
    while (pos < text.size() && IsDigit(text[pos])) {
        ++pos;
    }
    return pos;
}

template <class Int>
Int Truncate(double value)
{
    constexpr double kLimit = static_cast<double>(std::numeric_limits<Int>::max());
    if (std::isnan(value)) {
        return 0;
    }
    // 2^31 and 2^63 are exact doubles; anything at or beyond them saturates.
    if (value >= kLimit) {
        return std::numeric_limits<Int>::max();
    }
    if (value <= -kLimit) {
        return std::numeric_limits<Int>::min();
    }
    return static_cast<Int>(value);
}

}  // namespace

std::int32_t LeadingInteger(std::string_view text)
{
    return ParseInteger(text);
}

std::int32_t LeadingInteger(std::wstring_view text)
{
    return ParseInteger(text);
}

double LeadingDecimal(std::string_view text)
{
    bool negative = false;
    const std::size_t start = SkipSpaceAndSign(text, negative);
    std::size_t end = SkipDigits(text, start);
    bool digits = end > start;
    if (end < text.size() && text[end] == '.') {
        const std::size_t fractionEnd = SkipDigits(text, end + 1);
        digits = digits || fractionEnd > end + 1;
        end = fractionEnd;
    }
    if (!digits) {
        return 0.0;
    }
    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        std::size_t exponent = end + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) {
            ++exponent;
        }
        const std::size_t exponentEnd = SkipDigits(text, exponent);
        if (exponentEnd > exponent) {
            end = exponentEnd;
        }
    }
    const std::string number(text.substr(start, end - start));
    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value,
                                        std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large gives infinity, too small gives zero, as strtod does.
        const std::size_t e = number.find_first_of("eE");
        const bool tiny = e != std::string::npos && number.find('-', e) != std::string::npos;
        value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    }
    return negative ? -value : value;
}

std::int32_t TruncateToInt32(double value)
{
    return Truncate<std::int32_t>(value);
}

std::int64_t TruncateToInt64(double value)
{
    return Truncate<std::int64_t>(value);
}

}  // namespace MBDataAquisition
