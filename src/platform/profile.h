#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace platform {

// Private-profile (INI) functions with the results of GetPrivateProfileStringW,
// GetPrivateProfileIntW, WritePrivateProfileStringW and WritePrivateProfileSectionW.
class Profile {
public:
    virtual ~Profile() = default;

    // The value, or `defaultValue` when the file, section or key is missing, cut to
    // bufferChars - 1 characters (a buffer of bufferChars including the terminator).
    virtual std::wstring GetString(const std::wstring& section, const std::wstring& key,
                                   const std::wstring& defaultValue, std::size_t bufferChars,
                                   const std::wstring& file) = 0;

    // The value's leading number, `defaultValue` when the file, section or key is missing or the
    // value is empty. Blanks and one sign may lead; "0x", "0o" and "0b" (small letters only)
    // select the base; the number ends at the first character that is no digit of it ("12abc"
    // is 12, "abc" is 0); arithmetic wraps modulo 2^32 ("-5" is 4294967291); only the first 29
    // characters of the value count.
    virtual unsigned int GetInt(const std::wstring& section, const std::wstring& key,
                                int defaultValue, const std::wstring& file) = 0;

    // Writes key = value, keeping the rest of the file and creating a missing file or section.
    // False on failure, with the reason in GetLastErrorCode() (3 for a missing folder).
    virtual bool WriteString(const std::wstring& section, const std::wstring& key,
                             const std::wstring& value, const std::wstring& file) = 0;

    using Entries = std::vector<std::pair<std::wstring, std::wstring>>;

    // Replaces every line of the section by `entries` (key = value, in this order) with one
    // write of the file, creating a missing file or section; the rest of the file is kept.
    // False on failure, with the reason in GetLastErrorCode().
    virtual bool WriteSection(const std::wstring& section, const Entries& entries,
                              const std::wstring& file) = 0;

    // One write of WriteString (a key) or of WriteSection (a key left empty: `entries` replace
    // the section).
    struct Write {
        std::wstring section;
        std::wstring key;
        std::wstring value;
        Entries entries;
    };
    using Writes = std::vector<Write>;

    // Gives the file the text that WriteString and WriteSection, called in this order, would give
    // it, but writes the text whole, at most once: into a temporary file beside it that then
    // replaces it (ReplacedFile), and not at all when the text stays the same. The profile
    // functions truncate and rewrite the file for every key, which a reader can catch half
    // written and a full disk leaves cut. A failure leaves the file as it was: false, with the
    // reason in GetLastErrorCode().
    virtual bool WriteWhole(const Writes& writes, const std::wstring& file) = 0;

    static Profile& System();
};

// WriteWhole of both platforms: reads the file (a missing one is empty), edits its text as the
// profile functions would and replaces the file when the text changed.
bool WriteProfileWhole(const Profile::Writes& writes, const std::wstring& file);

}  // namespace platform
