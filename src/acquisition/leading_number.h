#pragma once

#include <cstdint>
#include <string_view>

namespace MBDataAquisition {

// Lenient readers of the number at the start of a text, as the C library's atoi and atof read
// it: leading white space, an optional sign, then digits (and for the decimal form an optional
// fraction and exponent); reading stops at the first other character and a text without a
// number gives 0. Out-of-range results saturate instead of being undefined.
std::int32_t LeadingInteger(std::string_view text);
std::int32_t LeadingInteger(std::wstring_view text);
double LeadingDecimal(std::string_view text);

// trunc(value), saturated to the target range.
std::int32_t TruncateToInt32(double value);
std::int64_t TruncateToInt64(double value);

}  // namespace MBDataAquisition
