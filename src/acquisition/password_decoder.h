#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "support/secret_text.h"

namespace cfg {

// The scrambled form of a password in Computer.xml ("PasswordEncr"). Character i of the password
// plus character i of a fixed 51-character key gives a five-digit decimal group; the groups are
// joined, their n leading zeros cut off and n appended as the last digit, and runs of zeros are
// written "A" (00), "B" (000) or "C" (0000).
class PasswordDecoder {
public:
    // The password, or the empty string for a text that is no scrambled password: a character
    // other than a digit, "A", "B", "C"; last digit 0; not whole five-digit groups; more groups
    // than the key has characters.
    // Every copy it makes of the text is wiped before its memory is freed.
    static utils::SecretText Decode(const wchar_t* p_pScrambled, std::size_t p_nLength);
    static utils::SecretText Decode(const std::wstring& p_strScrambled)
    {
        return Decode(p_strScrambled.data(), p_strScrambled.size());
    }

    // The text that Decode turns back into `p_strPassword`; nothing for an empty password, one
    // longer than the key, a character beyond U+FFFF, or a first character whose group would
    // have no leading zero (its code plus the key's first character's reaches 10000).
    static std::optional<std::wstring> Scramble(const std::wstring& p_strPassword);

    static const std::wstring& Key();
};

}  // namespace cfg
