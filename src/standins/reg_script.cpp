#include "standins/reg_script.h"

#include <cwctype>

#include "platform/byte_order.h"
#include "platform/text.h"
#include "platform/utf16.h"

namespace platform {
namespace {

using Line = RegScriptLine;

std::wstring Trim(const std::wstring& text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && std::iswspace(text[begin])) {
        ++begin;
    }
    while (end > begin && std::iswspace(text[end - 1])) {
        --end;
    }
    return text.substr(begin, end - begin);
}

// The root that a script names by its full or its short name; the registry editor's files know
// only the roots that have a short name.
bool FindRoot(const std::wstring& name, RegKey& root)
{
    for (const RegRootName& candidate : kRegRootNames) {
        if (candidate.shortName != nullptr &&
            (EqualNoCase(name, candidate.name) || EqualNoCase(name, candidate.shortName))) {
            root = candidate.key;
            return true;
        }
    }
    return false;
}

bool IsHexNumber(const std::wstring& digits)
{
    return !digits.empty() && digits.size() <= 8 &&
           digits.find_first_not_of(L"0123456789abcdefABCDEF") == std::wstring::npos;
}

// A quoted text starting at `pos` ("..." with \\ and \" escapes); `pos` moves behind it.
std::optional<std::wstring> ParseQuoted(const std::wstring& line, std::size_t& pos)
{
    if (pos >= line.size() || line[pos] != L'"') {
        return std::nullopt;
    }
    std::wstring text;
    for (++pos; pos < line.size(); ++pos) {
        if (line[pos] == L'\\' && pos + 1 < line.size()) {
            text.push_back(line[++pos]);
        } else if (line[pos] == L'"') {
            ++pos;
            return text;
        } else {
            text.push_back(line[pos]);
        }
    }
    return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> ParseHexBytes(const std::wstring& text)
{
    std::vector<std::uint8_t> bytes;
    std::wstring digits;
    auto flush = [&]() {
        if (digits.empty()) {
            return true;
        }
        if (digits.size() > 2) {
            return false;
        }
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(digits, nullptr, 16)));
        digits.clear();
        return true;
    };
    for (wchar_t c : text) {
        if (c == L',') {
            if (digits.empty() || !flush()) {
                return std::nullopt;
            }
        } else if (std::iswxdigit(c)) {
            digits.push_back(c);
        } else if (!std::iswspace(c) && c != L'\\') {
            return std::nullopt;
        }
    }
    if (!flush()) {
        return std::nullopt;
    }
    return bytes;
}

Line KeyLine(const std::wstring& text)
{
    Line line;
    line.kind = Line::Kind::BadKeyLine;
    if (text.size() < 2 || text.back() != L']') {
        return line;
    }
    std::wstring path = text.substr(1, text.size() - 2);
    const bool remove = !path.empty() && path[0] == L'-';
    if (remove) {
        path.erase(0, 1);
    }
    const std::size_t slash = path.find(L'\\');
    const std::wstring subKey =
        slash == std::wstring::npos ? std::wstring() : path.substr(slash + 1);
    if (!FindRoot(path.substr(0, slash), line.root)) {
        return line;
    }
    // A root itself cannot be deleted.
    if (remove && subKey.empty()) {
        return line;
    }
    line.kind = remove ? Line::Kind::DeleteKey : Line::Kind::OpenKey;
    line.subKey = subKey;
    return line;
}

// The data after "=": a quoted text, dword:, hex: or hex(type):.
bool ParseData(const std::wstring& data, Line& line)
{
    line.type = kRegSz;
    if (!data.empty() && data[0] == L'"') {
        std::size_t at = 0;
        auto text = ParseQuoted(data, at);
        if (!text || at != data.size()) {
            return false;
        }
        AppendUtf16Le(line.data, *text);
        return true;
    }
    if (data.compare(0, 6, L"dword:") == 0) {
        const std::wstring digits = data.substr(6);
        if (!IsHexNumber(digits)) {
            return false;
        }
        line.type = kRegDword;
        line.data.resize(4);
        le::Store32(line.data.data(), static_cast<std::uint32_t>(std::stoul(digits, nullptr, 16)));
        return true;
    }
    if (data.compare(0, 3, L"hex") == 0) {
        const std::size_t colon = data.find(L':');
        if (colon == std::wstring::npos) {
            return false;
        }
        const std::wstring kind = data.substr(3, colon - 3);
        line.type = kRegBinary;
        if (!kind.empty()) {
            if (kind.size() < 3 || kind.front() != L'(' || kind.back() != L')') {
                return false;
            }
            const std::wstring digits = kind.substr(1, kind.size() - 2);
            if (!IsHexNumber(digits)) {
                return false;
            }
            line.type = static_cast<std::uint32_t>(std::stoul(digits, nullptr, 16));
        }
        auto parsed = ParseHexBytes(data.substr(colon + 1));
        if (!parsed) {
            return false;
        }
        line.data = std::move(*parsed);
        return true;
    }
    return false;
}

Line ValueLine(const std::wstring& text)
{
    Line line;
    line.kind = Line::Kind::BadValueLine;
    std::size_t pos = 0;
    if (text[0] == L'@') {
        pos = 1;
    } else {
        auto quoted = ParseQuoted(text, pos);
        if (!quoted) {
            return line;
        }
        line.name = *quoted;
    }
    while (pos < text.size() && std::iswspace(text[pos])) {
        ++pos;
    }
    if (pos >= text.size() || text[pos] != L'=') {
        return line;
    }
    const std::wstring data = Trim(text.substr(pos + 1));
    if (data == L"-") {
        line.kind = Line::Kind::DeleteValue;
        return line;
    }
    if (!ParseData(data, line)) {
        line.data.clear();
        return line;
    }
    line.kind = Line::Kind::SetValue;
    return line;
}

// The text's lines, with "\" continuations of hex values joined.
std::vector<std::wstring> LogicalLines(const std::wstring& text)
{
    std::vector<std::wstring> lines;
    std::wstring pending;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) {
            end = text.size();
        }
        std::wstring line = Trim(text.substr(start, end - start));
        start = end + 1;
        pending += line;
        const bool hexValue = pending.find(L"=hex") != std::wstring::npos;
        if (hexValue && !pending.empty() && pending.back() == L'\\') {
            pending.pop_back();
            continue;
        }
        lines.push_back(pending);
        pending.clear();
    }
    if (!pending.empty()) {
        lines.push_back(pending);
    }
    return lines;
}

}  // namespace

std::optional<std::vector<RegScriptLine>> ParseRegScript(const std::wstring& text)
{
    const std::vector<std::wstring> lines = LogicalLines(text);
    std::size_t index = 0;
    while (index < lines.size() && lines[index].empty()) {
        ++index;
    }
    if (index == lines.size()) {
        return std::nullopt;
    }
    std::wstring header = lines[index];
    if (!header.empty() && header[0] == 0xFEFF) {
        header.erase(0, 1);
    }
    if (header != L"Windows Registry Editor Version 5.00" && header != L"REGEDIT4") {
        return std::nullopt;
    }
    std::vector<RegScriptLine> script;
    for (++index; index < lines.size(); ++index) {
        const std::wstring& line = lines[index];
        if (line.empty() || line[0] == L';') {
            continue;
        }
        script.push_back(line[0] == L'[' ? KeyLine(line) : ValueLine(line));
    }
    return script;
}

std::wstring DecodeRegFile(const std::vector<std::uint8_t>& bytes)
{
    if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        return FromUtf16Le(bytes.data() + 2, (bytes.size() - 2) / 2);
    }
    if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
        return Utf8ToWide(std::string(bytes.begin() + 3, bytes.end()));
    }
    return AnsiToWide(std::string(bytes.begin(), bytes.end()));
}

}  // namespace platform
