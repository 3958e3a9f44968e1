// The string list and version numbers: "separators\0version\0other version\0eight bytes of a
// double" in.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz_support.h"
#include "platform/text.h"
#include "support/string_list.h"
#include "support/version_number.h"

namespace {

void CheckOrder(const SRVersionInfo& a, const SRVersionInfo& b)
{
    const int holding = (a == b) + (a < b) + (a > b);
    fuzz::Check(holding == 1, "exactly one of ==, <, > holds");
    fuzz::Check((a >= b) == !(a < b), ">= is the opposite of <");
    fuzz::Check((b < a) == (a > b), "< and > mirror each other");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string input(reinterpret_cast<const char*>(data), size);
    const std::wstring separators = platform::AnsiToWide(fuzz::NextField(input));
    const std::wstring text = platform::AnsiToWide(fuzz::NextField(input));
    const std::wstring otherText = platform::AnsiToWide(fuzz::NextField(input));

    SRStringlist items;
    if (!separators.empty()) {
        items.SetSeparators(separators);
    }
    items.Split(text);
    std::size_t itemChars = 0;
    for (const std::wstring& item : items) {
        fuzz::Check(!item.empty(), "no empty items");
        fuzz::Check(item.find_first_of(items.GetSeparators()) == std::wstring::npos,
                    "no item holds a separator");
        itemChars += item.size();
    }
    fuzz::Check(itemChars <= text.size(), "items are pieces of the text");

    const SRVersionInfo version(text);
    const SRVersionInfo other(otherText);
    if (!version.IsValid()) {
        for (unsigned int part = 0; part < 4; ++part) {
            fuzz::Check(version.GetPart(part) == 0, "an invalid version is 0.0.0.0");
        }
    }
    fuzz::Check(version.GetPart(4) == 0 && version.GetPart(~0u) == 0,
                "parts beyond the fourth are 0");
    CheckOrder(version, other);

    if (input.size() >= sizeof(double)) {
        double number = 0;
        std::memcpy(&number, input.data(), sizeof number);
        const SRVersionInfo fromNumber(number);
        CheckOrder(fromNumber, version);
        // "%f" writes -0.0 as "-0.000000", which is no version, as any negative number.
        if (!std::signbit(number) && number < 4294967296.0 &&
            number == static_cast<double>(static_cast<std::uint32_t>(number))) {
            fuzz::Check(fromNumber.IsValid() &&
                            fromNumber.GetPart(0) == static_cast<std::uint32_t>(number) &&
                            fromNumber.GetPart(1) == 0,
                        "a whole number is its first part");
        }
    }
    return 0;
}
