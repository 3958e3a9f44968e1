#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace platform {

// The text of an INI file as the Windows profile functions read it, editable without touching
// the bytes of the lines that a write does not change.
//
// Reading follows the Windows rules: a byte-order mark selects UTF-8 or UTF-16LE, otherwise the
// text is cp1252; lines end at CR, LF or CRLF; blanks around lines, names and values do not
// count; "[name]" (up to the last "]") starts a section; a line holds a key, "=" and a value,
// or only a name, which is a key without value; lines before the first section belong to the
// section without name. The first section of a name and its first key of a name count.
class IniText {
public:
    enum class Encoding { Ansi, Utf8, Utf16Le };

    explicit IniText(std::string bytes);

    // The value of the key as written in the file (blanks around it removed); nothing when the
    // section or key is missing or the key has no "=".
    std::optional<std::wstring> Find(const std::wstring& section, const std::wstring& key) const;

    // Sets key = value: replaces the key's line, or adds the key after the last line of its
    // section, or adds the section at the end. New lines end in CRLF and use the file's encoding.
    void Set(const std::wstring& section, const std::wstring& key, const std::wstring& value);

    // Replaces the section's lines, from its header to its last line that is not blank, by
    // "key=value" lines in the given order, or adds the section at the end.
    void SetSection(const std::wstring& section,
                    const std::vector<std::pair<std::wstring, std::wstring>>& entries);

    const std::string& Bytes() const { return m_strBytes; }

private:
    struct Line {
        std::size_t nBegin;    // first byte of the line
        std::size_t nEnd;      // first byte of its line break
        std::size_t nNext;     // first byte after its line break
        std::wstring strText;  // decoded, blanks around it removed
    };
    struct Key {
        std::wstring strName;
        std::optional<std::wstring> strValue;
        std::size_t idxLine;
    };
    struct Section {
        std::wstring strName;
        std::vector<Key> keys;
        std::size_t idxLastLine;  // last line of the section that is not blank
        bool bHasHeader;
        std::size_t idxHeader;  // the header's line
    };

    void Parse();
    std::wstring Decode(std::size_t begin, std::size_t end) const;
    std::string Encode(const std::wstring& text) const;
    const Section* FindSection(const std::wstring& name) const;
    void Splice(std::size_t begin, std::size_t end, const std::wstring& text);
    // Adds "[section]" and the given lines at the end of the file.
    void AppendSection(const std::wstring& section, const std::wstring& lines);

    std::string m_strBytes;
    Encoding m_encoding = Encoding::Ansi;
    std::size_t m_nTextBegin = 0;
    std::vector<Line> m_lines;
    std::vector<Section> m_sections;
};

// Blanks as the Windows profile functions skip them.
bool IsProfileSpace(wchar_t c);
std::wstring TrimProfileSpace(const std::wstring& text);

}  // namespace platform
