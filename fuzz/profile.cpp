// The posix profile reader and writer: an INI file's bytes with the names and the value to read
// and write, as a key and as the one line of a section write. Input:
// "section\0key\0value\0otherSection\0otherKey\0file bytes".
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "fuzz_support.h"
#include "platform/ini_text.h"
#include "platform/posix/native_path_posix.h"
#include "platform/profile.h"
#include "platform/text.h"

namespace {

using platform::TrimProfileSpace;

// Text that a settings line holds as it is: printable ASCII, and for a name none of the
// characters that end a key or make a section header.
bool IsPlain(const std::wstring& text, bool name)
{
    for (wchar_t c : text) {
        if (c < 0x20 || c > 0x7E || (name && (c == L'=' || c == L'[' || c == L']'))) {
            return false;
        }
    }
    return !name || !TrimProfileSpace(text).empty();
}

// What GetPrivateProfileString returns for a stored value and a large buffer.
std::wstring Unquoted(const std::wstring& value)
{
    if (value.size() >= 2 && (value[0] == L'\'' || value[0] == L'"') && value.back() == value[0]) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const fuzz::ScratchFile s_file("profile.ini");
    static const std::wstring s_strPath = platform::posix::FromNative(s_file.Path());

    std::string input(reinterpret_cast<const char*>(data), size);
    const std::wstring section = platform::AnsiToWide(fuzz::NextField(input));
    const std::wstring key = platform::AnsiToWide(fuzz::NextField(input));
    const std::wstring value = platform::AnsiToWide(fuzz::NextField(input));
    const std::wstring otherSection = platform::AnsiToWide(fuzz::NextField(input));
    const std::wstring otherKey = platform::AnsiToWide(fuzz::NextField(input));
    const bool plain = IsPlain(section, true) && IsPlain(key, true) && IsPlain(value, false);

    platform::IniText text(input);
    const std::optional<std::wstring> otherBefore = text.Find(otherSection, otherKey);
    text.Set(section, key, value);
    const platform::IniText written(text.Bytes());
    if (plain) {
        const std::optional<std::wstring> stored = written.Find(section, key);
        fuzz::Check(stored && *stored == TrimProfileSpace(value), "a written value reads back");
        const bool samePair =
            platform::EqualNoCase(TrimProfileSpace(section), TrimProfileSpace(otherSection)) &&
            platform::EqualNoCase(TrimProfileSpace(key), TrimProfileSpace(otherKey));
        if (!samePair) {
            fuzz::Check(written.Find(otherSection, otherKey) == otherBefore,
                        "a write keeps the other keys");
        }
    }

    platform::IniText sectioned(input);
    sectioned.SetSection(section, {{key, value}});
    const platform::IniText rewritten(sectioned.Bytes());
    if (plain) {
        const std::optional<std::wstring> stored = rewritten.Find(section, key);
        fuzz::Check(stored && *stored == TrimProfileSpace(value), "a section write reads back");
        if (!platform::EqualNoCase(TrimProfileSpace(section), TrimProfileSpace(otherSection))) {
            fuzz::Check(rewritten.Find(otherSection, otherKey) == otherBefore,
                        "a section write keeps the other sections");
        }
    }

    // The same through the profile functions and a real file.
    platform::Profile& profile = platform::Profile::System();
    s_file.Write(input);
    const std::size_t bufferChars = size % 270;
    const std::wstring read = profile.GetString(section, key, value, bufferChars, s_strPath);
    fuzz::Check(bufferChars == 0 ? read.empty() : read.size() < bufferChars,
                "a read fits its buffer");
    profile.GetInt(section, key, static_cast<int>(size), s_strPath);
    profile.GetInt(otherSection, otherKey, -1, s_strPath);
    fuzz::Check(profile.WriteString(section, key, value, s_strPath),
                "a write to a writable file succeeds");
    if (plain && value.size() < 999) {
        const std::wstring reread = profile.GetString(section, key, L"", 1000, s_strPath);
        fuzz::Check(reread == Unquoted(TrimProfileSpace(value)),
                    "a written value reads back from the file");
    }
    return 0;
}
