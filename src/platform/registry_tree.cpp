#include "platform/registry_tree.h"

#include <vector>

namespace platform {
namespace {

// Longer than any key name (255 characters).
constexpr std::uint32_t kTreeNameChars = 260;

// Closes a key when the deletion below it ends, however it ends.
class OpenedKey {
public:
    OpenedKey(Registry& registry, RegKey key) : m_registry(registry), m_key(key) {}
    ~OpenedKey() { m_registry.CloseKey(m_key); }
    OpenedKey(const OpenedKey&) = delete;
    OpenedKey& operator=(const OpenedKey&) = delete;

private:
    Registry& m_registry;
    RegKey m_key;
};

}  // namespace

std::int32_t DeleteRegTree(Registry& registry, RegKey parent, const std::wstring& subKey)
{
    RegKey key = 0;
    std::int32_t status = registry.OpenKey(parent, subKey.c_str(), kKeyAllAccess, key);
    if (status != 0) {
        return status;
    }
    {
        const OpenedKey opened(registry, key);
        std::vector<wchar_t> name(kTreeNameChars);
        while (true) {
            std::uint32_t chars = kTreeNameChars;
            if (registry.EnumKey(key, 0, name.data(), chars, nullptr, nullptr, nullptr) != 0) {
                break;
            }
            // A subkey that cannot be deleted would be found at index 0 forever.
            status = DeleteRegTree(registry, key, std::wstring(name.data(), chars));
            if (status != 0) {
                return status;
            }
        }
    }
    return registry.DeleteKey(parent, subKey.c_str());
}

}  // namespace platform
