#include "standins/reg_file.h"

#include <cstdint>
#include <cwctype>
#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

#include "platform/text.h"
#include "platform/utf16.h"

namespace platform {
namespace {

struct RootName {
    const wchar_t* name;
    RegKey key;
};

constexpr RootName kRoots[] = {
    {L"HKEY_LOCAL_MACHINE", kHkeyLocalMachine}, {L"HKLM", kHkeyLocalMachine},
    {L"HKEY_CURRENT_USER", kHkeyCurrentUser},   {L"HKCU", kHkeyCurrentUser},
    {L"HKEY_CLASSES_ROOT", kHkeyClassesRoot},   {L"HKCR", kHkeyClassesRoot},
    {L"HKEY_USERS", kHkeyUsers},                {L"HKU", kHkeyUsers},
    {L"HKEY_CURRENT_CONFIG", kHkeyCurrentConfig}, {L"HKCC", kHkeyCurrentConfig},
};

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

// Splits "HKEY_...\rest" into the root handle and the path below it.
bool SplitRoot(const std::wstring& path, RegKey& root, std::wstring& subKey)
{
    const std::size_t slash = path.find(L'\\');
    const std::wstring rootName = path.substr(0, slash);
    subKey = slash == std::wstring::npos ? std::wstring() : path.substr(slash + 1);
    for (const RootName& candidate : kRoots) {
        if (EqualNoCase(rootName, candidate.name)) {
            root = candidate.key;
            return true;
        }
    }
    return false;
}

bool DeleteTree(Registry& registry, RegKey parent, const std::wstring& name)
{
    RegKey key = 0;
    if (registry.OpenKey(parent, name.c_str(), kKeyAllAccess, key) != 0) {
        return false;
    }
    bool ok = true;
    while (ok) {
        wchar_t child[256] = {};
        std::uint32_t chars = 256;
        if (registry.EnumKey(key, 0, child, chars, nullptr, nullptr, nullptr) != 0) {
            break;
        }
        ok = DeleteTree(registry, key, std::wstring(child, chars));
    }
    registry.CloseKey(key);
    return ok && registry.DeleteKey(parent, name.c_str()) == 0;
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
            return digits.empty();
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

class Importer {
public:
    explicit Importer(Registry& registry) : m_registry(registry) {}
    ~Importer() { CloseCurrent(); }

    bool KeyLine(const std::wstring& line)
    {
        CloseCurrent();
        if (line.size() < 2 || line.back() != L']') {
            return false;
        }
        std::wstring path = line.substr(1, line.size() - 2);
        const bool remove = !path.empty() && path[0] == L'-';
        if (remove) {
            path.erase(0, 1);
        }
        RegKey root = 0;
        std::wstring subKey;
        if (!SplitRoot(path, root, subKey)) {
            return false;
        }
        if (remove) {
            // Deleting a key that is not there is no failure, as for the registry editor.
            if (subKey.empty()) {
                return false;
            }
            DeleteTree(m_registry, root, subKey);
            return true;
        }
        if (subKey.empty()) {
            m_current = root;
            m_ownsCurrent = false;
            return true;
        }
        m_ownsCurrent = m_registry.CreateKey(root, subKey.c_str(), nullptr, 0, kKeyAllAccess,
                                             nullptr, m_current, nullptr) == 0;
        if (!m_ownsCurrent) {
            m_current = 0;
        }
        return m_ownsCurrent;
    }

    bool ValueLine(const std::wstring& line)
    {
        if (m_current == 0) {
            return false;
        }
        std::size_t pos = 0;
        std::wstring name;
        if (line[0] == L'@') {
            pos = 1;
        } else {
            auto quoted = ParseQuoted(line, pos);
            if (!quoted) {
                return false;
            }
            name = *quoted;
        }
        while (pos < line.size() && std::iswspace(line[pos])) {
            ++pos;
        }
        if (pos >= line.size() || line[pos] != L'=') {
            return false;
        }
        const std::wstring data = Trim(line.substr(pos + 1));
        if (data == L"-") {
            m_registry.DeleteValue(m_current, name.c_str());
            return true;
        }
        std::uint32_t type = kRegSz;
        std::vector<std::uint8_t> bytes;
        if (!data.empty() && data[0] == L'"') {
            std::size_t at = 0;
            auto text = ParseQuoted(data, at);
            if (!text || at != data.size()) {
                return false;
            }
            AppendUtf16Le(bytes, *text);
        } else if (data.compare(0, 6, L"dword:") == 0) {
            const std::wstring digits = data.substr(6);
            if (digits.empty() || digits.size() > 8 ||
                digits.find_first_not_of(L"0123456789abcdefABCDEF") != std::wstring::npos) {
                return false;
            }
            const auto value = static_cast<std::uint32_t>(std::stoul(digits, nullptr, 16));
            type = kRegDword;
            for (int shift = 0; shift < 32; shift += 8) {
                bytes.push_back(static_cast<std::uint8_t>(value >> shift));
            }
        } else if (data.compare(0, 3, L"hex") == 0) {
            std::size_t colon = data.find(L':');
            if (colon == std::wstring::npos) {
                return false;
            }
            const std::wstring kind = data.substr(3, colon - 3);
            type = kRegBinary;
            if (!kind.empty()) {
                if (kind.size() < 3 || kind.front() != L'(' || kind.back() != L')') {
                    return false;
                }
                const std::wstring digits = kind.substr(1, kind.size() - 2);
                if (digits.empty() || digits.size() > 8 ||
                    digits.find_first_not_of(L"0123456789abcdefABCDEF") != std::wstring::npos) {
                    return false;
                }
                type = static_cast<std::uint32_t>(std::stoul(digits, nullptr, 16));
            }
            auto parsed = ParseHexBytes(data.substr(colon + 1));
            if (!parsed) {
                return false;
            }
            bytes = *parsed;
        } else {
            return false;
        }
        return m_registry.SetValue(m_current, name.c_str(), type, bytes.data(),
                                   static_cast<std::uint32_t>(bytes.size())) == 0;
    }

private:
    void CloseCurrent()
    {
        if (m_ownsCurrent) {
            m_registry.CloseKey(m_current);
        }
        m_current = 0;
        m_ownsCurrent = false;
    }

    Registry& m_registry;
    RegKey m_current = 0;
    bool m_ownsCurrent = false;
};

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

bool ImportRegText(Registry& registry, const std::wstring& text)
{
    const std::vector<std::wstring> lines = LogicalLines(text);
    std::size_t index = 0;
    while (index < lines.size() && lines[index].empty()) {
        ++index;
    }
    if (index == lines.size()) {
        return false;
    }
    std::wstring header = lines[index];
    if (!header.empty() && header[0] == 0xFEFF) {
        header.erase(0, 1);
    }
    if (header != L"Windows Registry Editor Version 5.00" && header != L"REGEDIT4") {
        return false;
    }
    Importer importer(registry);
    bool ok = true;
    for (++index; index < lines.size(); ++index) {
        const std::wstring& line = lines[index];
        if (line.empty() || line[0] == L';') {
            continue;
        }
        const bool applied = line[0] == L'[' ? importer.KeyLine(line) : importer.ValueLine(line);
        ok = ok && applied;
    }
    return ok;
}

bool ImportRegFile(Registry& registry, const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return false;
    }
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                          std::istreambuf_iterator<char>());
    std::wstring text;
    if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        text = FromUtf16Le(bytes.data() + 2, (bytes.size() - 2) / 2);
    } else if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
        std::size_t i = 3;
        while (i < bytes.size()) {
            const std::uint8_t lead = bytes[i];
            const int extra = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
            std::uint32_t code = extra == 0 ? lead : lead & (0x3F >> extra);
            for (int k = 1; k <= extra && i + k < bytes.size(); ++k) {
                code = (code << 6) | (bytes[i + k] & 0x3F);
            }
            text.push_back(static_cast<wchar_t>(code));
            i += static_cast<std::size_t>(extra) + 1;
        }
    } else {
        text = AnsiToWide(std::string(bytes.begin(), bytes.end()));
    }
    return ImportRegText(registry, text);
}

}  // namespace platform
