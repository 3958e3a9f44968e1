#include "standins/reg_file.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/registry_tree.h"
#include "standins/reg_script.h"

namespace platform {
namespace {

using Line = RegScriptLine;

// Applies the lines in order, keeping open the key that value lines write into.
class Importer {
public:
    explicit Importer(Registry& registry) : m_registry(registry) {}
    ~Importer() { CloseCurrent(); }
    Importer(const Importer&) = delete;
    Importer& operator=(const Importer&) = delete;

    bool Apply(const Line& line)
    {
        switch (line.kind) {
        case Line::Kind::OpenKey:
            CloseCurrent();
            return OpenKey(line.root, line.subKey);
        case Line::Kind::DeleteKey:
            CloseCurrent();
            DeleteRegTree(m_registry, line.root, line.subKey);
            return true;
        case Line::Kind::BadKeyLine:
            CloseCurrent();
            return false;
        case Line::Kind::SetValue:
            return m_current != 0 &&
                   m_registry.SetValue(m_current, line.name.c_str(), line.type, line.data.data(),
                                       static_cast<std::uint32_t>(line.data.size())) == 0;
        case Line::Kind::DeleteValue:
            if (m_current == 0) {
                return false;
            }
            m_registry.DeleteValue(m_current, line.name.c_str());
            return true;
        case Line::Kind::BadValueLine:
            return false;
        }
        return false;
    }

private:
    bool OpenKey(RegKey root, const std::wstring& subKey)
    {
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

}  // namespace

bool ImportRegText(Registry& registry, const std::wstring& text)
{
    const auto script = ParseRegScript(text);
    if (!script) {
        return false;
    }
    Importer importer(registry);
    bool ok = true;
    for (const Line& line : *script) {
        const bool applied = importer.Apply(line);
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
    return ImportRegText(registry, DecodeRegFile(bytes));
}

}  // namespace platform
