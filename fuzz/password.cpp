// The password decoder: any text in. A text that Scramble made decodes back to its password.
// Input: the scrambled text as 8-bit text, then (after a NUL) a password as UTF-16LE units.
#include <cstddef>
#include <cstdint>
#include <string>

#include "acquisition/password_decoder.h"
#include "fuzz_support.h"
#include "platform/text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string input(reinterpret_cast<const char*>(data), size);
    const std::wstring scrambled = platform::AnsiToWide(fuzz::NextField(input));
    const utils::SecretText decoded = cfg::PasswordDecoder::Decode(scrambled);
    fuzz::Check(decoded.size() <= cfg::PasswordDecoder::Key().size(),
                "a password is no longer than the key");

    std::wstring password;
    for (std::size_t i = 0; i + 1 < input.size(); i += 2) {
        password.push_back(static_cast<wchar_t>(static_cast<unsigned char>(input[i]) |
                                                (static_cast<unsigned char>(input[i + 1]) << 8)));
    }
    if (const auto text = cfg::PasswordDecoder::Scramble(password)) {
        fuzz::Check(cfg::PasswordDecoder::Decode(*text) == password,
                    "a scrambled password decodes back");
    }
    return 0;
}
