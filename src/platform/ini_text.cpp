#include "platform/ini_text.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/byte_order.h"
#include "platform/text.h"
#include "platform/utf16.h"

namespace platform {
namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";
constexpr char kUtf16LeBom[] = "\xFF\xFE";

bool StartsWith(const std::string& bytes, const char* prefix, std::size_t length)
{
    return bytes.compare(0, length, prefix, length) == 0;
}

}  // namespace

bool IsProfileSpace(wchar_t c)
{
    // ASCII blanks and the end-of-file mark only: a no-break or other Unicode space stays.
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x1A;
}

std::wstring TrimProfileSpace(const std::wstring& text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsProfileSpace(text[begin])) {
        ++begin;
    }
    while (end > begin && IsProfileSpace(text[end - 1])) {
        --end;
    }
    return text.substr(begin, end - begin);
}

IniText::IniText(std::string bytes) : m_strBytes(std::move(bytes))
{
    if (StartsWith(m_strBytes, kUtf8Bom, 3)) {
        m_encoding = Encoding::Utf8;
        m_nTextBegin = 3;
    } else if (StartsWith(m_strBytes, kUtf16LeBom, 2)) {
        m_encoding = Encoding::Utf16Le;
        m_nTextBegin = 2;
        // A stray last byte is a unit of its own, as the system reads it, and a write then adds
        // whole units instead of pairing that byte with the first byte it adds.
        if (m_strBytes.size() % 2 != 0) {
            m_strBytes.push_back('\0');
        }
    }
    Parse();
}

std::wstring IniText::Decode(std::size_t begin, std::size_t end) const
{
    switch (m_encoding) {
    case Encoding::Utf8:
        return Utf8ToWide(m_strBytes.substr(begin, end - begin));
    case Encoding::Utf16Le:
        // Pairs of surrogates become one character, as a UTF-32 wchar_t holds it.
        return FromUtf16Le(reinterpret_cast<const std::uint8_t*>(m_strBytes.data()) + begin,
                           (end - begin) / 2);
    case Encoding::Ansi:
        break;
    }
    return AnsiToWide(m_strBytes.substr(begin, end - begin));
}

std::string IniText::Encode(const std::wstring& text) const
{
    switch (m_encoding) {
    case Encoding::Utf8:
        return WideToUtf8(text);
    case Encoding::Utf16Le: {
        const std::vector<std::uint8_t> bytes = ToUtf16Le(text);
        return std::string(bytes.begin(), bytes.end());
    }
    case Encoding::Ansi:
        break;
    }
    return WideToAnsi(text);
}

void IniText::Parse()
{
    m_lines.clear();
    m_sections.clear();
    m_sections.push_back(Section{L"", {}, 0, false, 0});
    const std::size_t unit = m_encoding == Encoding::Utf16Le ? 2 : 1;
    const auto unitAt = [&](std::size_t pos) {
        return unit == 1 ? static_cast<unsigned>(static_cast<unsigned char>(m_strBytes[pos]))
                         : static_cast<unsigned>(le::Load16(
                               reinterpret_cast<const std::uint8_t*>(m_strBytes.data() + pos)));
    };
    std::size_t pos = m_nTextBegin;
    const std::size_t size = m_strBytes.size() - (m_strBytes.size() - m_nTextBegin) % unit;
    while (pos < size) {
        std::size_t end = pos;
        while (end < size && unitAt(end) != '\r' && unitAt(end) != '\n') {
            end += unit;
        }
        std::size_t next = end;
        if (next < size && unitAt(next) == '\r') {
            next += unit;
        }
        if (next < size && unitAt(next) == '\n' && (next == end || unitAt(end) == '\r')) {
            next += unit;
        }
        m_lines.push_back(Line{pos, end, next, TrimProfileSpace(Decode(pos, end))});
        pos = next;
    }

    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const std::wstring& text = m_lines[i].strText;
        if (text.empty()) {
            continue;
        }
        const std::size_t close = text.rfind(L']');
        if (text[0] == L'[' && close != std::wstring::npos) {
            m_sections.push_back(
                Section{TrimProfileSpace(text.substr(1, close - 1)), {}, i, true, i});
            continue;
        }
        Section& section = m_sections.back();
        section.idxLastLine = i;
        const std::size_t equals = text.find(L'=');
        if (equals == std::wstring::npos) {
            section.keys.push_back(Key{text, std::nullopt, i});
        } else {
            section.keys.push_back(Key{TrimProfileSpace(text.substr(0, equals)),
                                       TrimProfileSpace(text.substr(equals + 1)), i});
        }
    }
}

const IniText::Section* IniText::FindSection(const std::wstring& name) const
{
    const std::wstring wanted = TrimProfileSpace(name);
    for (const Section& section : m_sections) {
        // The nameless part before the first header is a section only when it holds lines.
        const bool present = section.bHasHeader || !section.keys.empty();
        if (present && EqualNoCase(section.strName, wanted)) {
            return &section;
        }
    }
    return nullptr;
}

std::optional<std::wstring> IniText::Find(const std::wstring& section,
                                          const std::wstring& key) const
{
    const Section* found = FindSection(section);
    if (found == nullptr) {
        return std::nullopt;
    }
    const std::wstring wanted = TrimProfileSpace(key);
    for (const Key& entry : found->keys) {
        if (EqualNoCase(entry.strName, wanted)) {
            return entry.strValue;
        }
    }
    return std::nullopt;
}

void IniText::Splice(std::size_t begin, std::size_t end, const std::wstring& text)
{
    m_strBytes.replace(begin, end - begin, Encode(text));
    Parse();
}

void IniText::Set(const std::wstring& section, const std::wstring& key, const std::wstring& value)
{
    std::size_t start = 0;
    while (start < value.size() && IsProfileSpace(value[start])) {
        ++start;
    }
    const std::wstring written = value.substr(start);
    const std::wstring keyName = TrimProfileSpace(key);

    const Section* found = FindSection(section);
    if (found != nullptr) {
        for (const Key& entry : found->keys) {
            if (EqualNoCase(entry.strName, keyName)) {
                const Line& line = m_lines[entry.idxLine];
                Splice(line.nBegin, line.nEnd, entry.strName + L"=" + written);
                return;
            }
        }
        const Line& last = m_lines[found->idxLastLine];
        if (last.nNext > last.nEnd) {
            Splice(last.nNext, last.nNext, keyName + L"=" + written + L"\r\n");
        } else {
            Splice(last.nEnd, last.nEnd, L"\r\n" + keyName + L"=" + written + L"\r\n");
        }
        return;
    }
    AppendSection(section, keyName + L"=" + written + L"\r\n");
}

void IniText::SetSection(const std::wstring& section,
                         const std::vector<std::pair<std::wstring, std::wstring>>& entries)
{
    std::wstring lines;
    for (const auto& entry : entries) {
        lines += TrimProfileSpace(entry.first) + L"=" + TrimProfileSpace(entry.second) + L"\r\n";
    }
    const Section* found = FindSection(section);
    if (found == nullptr) {
        AppendSection(section, lines);
        return;
    }
    const std::size_t lastNext = m_lines[found->idxLastLine].nNext;
    if (!found->bHasHeader) {
        // The lines before the first header, which FindSection names only when they hold keys.
        Splice(m_lines[found->keys.front().idxLine].nBegin, lastNext, lines);
        return;
    }
    const Line& header = m_lines[found->idxHeader];
    if (found->idxLastLine == found->idxHeader && header.nNext == header.nEnd) {
        lines = L"\r\n" + lines;  // a header without line break at the end of the file
    }
    Splice(header.nNext, std::max(lastNext, header.nNext), lines);
}

void IniText::AppendSection(const std::wstring& section, const std::wstring& lines)
{
    std::wstring added;
    if (!m_lines.empty() && m_lines.back().nNext == m_lines.back().nEnd) {
        added = L"\r\n";
    }
    added += L"[" + TrimProfileSpace(section) + L"]\r\n" + lines;
    Splice(m_strBytes.size(), m_strBytes.size(), added);
}

}  // namespace platform
