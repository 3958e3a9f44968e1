#pragma once

#include <cstdint>
#include <string>

namespace platform {

// The number at the start of a profile value, read by the system's integer rule: control
// characters and blanks skipped, one sign, "0x", "0o" or "0b" (small letters only) select the
// base, digits up to the first character that is not one.
struct ProfileInteger {
    bool negative = false;
    // The digits modulo 2^32, as the system's integer read keeps them.
    std::uint32_t wrapped = 0;
    // The digits' full value, saturated at 2^62.
    std::uint64_t magnitude = 0;

    // The value as the system's integer read returns it: the wrapped digits, a minus sign
    // negating them modulo 2^32 ("-5" reads 4294967291).
    std::uint32_t Unsigned() const { return negative ? 0U - wrapped : wrapped; }
};

ProfileInteger ParseProfileInteger(const std::wstring& text);

}  // namespace platform
