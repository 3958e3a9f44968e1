#include "service/com/registry_key_snapshot.h"

#include <algorithm>
#include <new>

#include "platform/win32/unique_resource.h"

using platform::win32::UniqueRegistryKey;

namespace {

LONG ReadKey(HKEY key, RegistryTree& tree)
{
    DWORD subkeyCount = 0;
    DWORD maxSubkeyChars = 0;
    DWORD valueCount = 0;
    DWORD maxValueNameChars = 0;
    DWORD maxValueBytes = 0;
    LONG result =
        RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeyCount, &maxSubkeyChars, nullptr,
                         &valueCount, &maxValueNameChars, &maxValueBytes, nullptr, nullptr);
    if (result != ERROR_SUCCESS) {
        return result;
    }
    std::vector<wchar_t> name(std::max(maxSubkeyChars, maxValueNameChars) + 1);
    for (DWORD index = 0; index < valueCount; ++index) {
        RegistryTree::Value value;
        value.data.resize(maxValueBytes);
        DWORD nameChars = static_cast<DWORD>(name.size());
        DWORD bytes = maxValueBytes;
        result = RegEnumValueW(key, index, name.data(), &nameChars, nullptr, &value.type,
                               value.data.data(), &bytes);
        if (result != ERROR_SUCCESS) {
            return result;
        }
        value.name.assign(name.data(), nameChars);
        value.data.resize(bytes);
        tree.values.push_back(std::move(value));
    }
    for (DWORD index = 0; index < subkeyCount; ++index) {
        DWORD nameChars = static_cast<DWORD>(name.size());
        result =
            RegEnumKeyExW(key, index, name.data(), &nameChars, nullptr, nullptr, nullptr, nullptr);
        if (result != ERROR_SUCCESS) {
            return result;
        }
        RegistryTree::Subkey subkey{std::wstring(name.data(), nameChars), {}};
        UniqueRegistryKey child;
        result = RegOpenKeyExW(key, subkey.name.c_str(), 0, KEY_READ, child.Put());
        if (result == ERROR_SUCCESS) {
            result = ReadKey(child.Get(), subkey.tree);
        }
        if (result != ERROR_SUCCESS) {
            return result;
        }
        tree.subkeys.push_back(std::move(subkey));
    }
    return ERROR_SUCCESS;
}

bool SameName(const std::wstring& left, const std::wstring& right)
{
    return CompareStringOrdinal(left.c_str(), static_cast<int>(left.size()), right.c_str(),
                                static_cast<int>(right.size()), TRUE) == CSTR_EQUAL;
}

template <class Item>
const Item* FindNamed(const std::vector<Item>& items, const std::wstring& name)
{
    const auto found = std::find_if(items.begin(), items.end(), [&name](const Item& item) {
        return SameName(item.name, name);
    });
    return found == items.end() ? nullptr : &*found;
}

bool SameValue(const RegistryTree::Value& left, const RegistryTree::Value& right)
{
    return left.type == right.type && left.data == right.data;
}

bool SameTree(const RegistryTree& left, const RegistryTree& right)
{
    if (left.values.size() != right.values.size() || left.subkeys.size() != right.subkeys.size()) {
        return false;
    }
    for (const RegistryTree::Value& value : left.values) {
        const RegistryTree::Value* other = FindNamed(right.values, value.name);
        if (other == nullptr || !SameValue(value, *other)) {
            return false;
        }
    }
    for (const RegistryTree::Subkey& subkey : left.subkeys) {
        const RegistryTree::Subkey* other = FindNamed(right.subkeys, subkey.name);
        if (other == nullptr || !SameTree(subkey.tree, other->tree)) {
            return false;
        }
    }
    return true;
}

// Brings the open key `key`, which holds `current`, to `saved`: writes the values and subkeys
// that differ or are missing, then deletes what `saved` lacks.
LONG UpdateKey(HKEY key, const RegistryTree& current, const RegistryTree& saved, REGSAM view)
{
    for (const RegistryTree::Value& value : saved.values) {
        const RegistryTree::Value* now = FindNamed(current.values, value.name);
        if (now != nullptr && SameValue(*now, value)) {
            continue;
        }
        const LONG result = RegSetValueExW(key, value.name.c_str(), 0, value.type,
                                           value.data.empty() ? nullptr : value.data.data(),
                                           static_cast<DWORD>(value.data.size()));
        if (result != ERROR_SUCCESS) {
            return result;
        }
    }
    const RegistryTree empty;
    for (const RegistryTree::Subkey& subkey : saved.subkeys) {
        const RegistryTree::Subkey* now = FindNamed(current.subkeys, subkey.name);
        if (now != nullptr && SameTree(now->tree, subkey.tree)) {
            continue;
        }
        UniqueRegistryKey child;
        LONG result =
            RegCreateKeyExW(key, subkey.name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_READ | KEY_WRITE | DELETE | view, nullptr, child.Put(), nullptr);
        if (result == ERROR_SUCCESS) {
            result = UpdateKey(child.Get(), now != nullptr ? now->tree : empty, subkey.tree, view);
        }
        if (result != ERROR_SUCCESS) {
            return result;
        }
    }
    for (const RegistryTree::Value& value : current.values) {
        if (FindNamed(saved.values, value.name) == nullptr) {
            const LONG result = RegDeleteValueW(key, value.name.c_str());
            if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND) {
                return result;
            }
        }
    }
    for (const RegistryTree::Subkey& subkey : current.subkeys) {
        if (FindNamed(saved.subkeys, subkey.name) == nullptr) {
            const LONG result = RegDeleteTreeW(key, subkey.name.c_str());
            if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND) {
                return result;
            }
        }
    }
    return ERROR_SUCCESS;
}

// Deletes the key `path` with everything below it. RegDeleteTreeW takes no view: the key is
// deleted through its parent opened in the view.
LONG DeleteTree(HKEY root, const std::wstring& path, REGSAM view)
{
    const std::size_t separator = path.find_last_of(L'\\');
    const std::wstring parentPath =
        separator == std::wstring::npos ? std::wstring() : path.substr(0, separator);
    const std::wstring name = path.substr(separator == std::wstring::npos ? 0 : separator + 1);
    UniqueRegistryKey parent;
    LONG result = RegOpenKeyExW(root, parentPath.c_str(), 0, KEY_READ | KEY_WRITE | DELETE | view,
                                parent.Put());
    if (result == ERROR_SUCCESS) {
        result = RegDeleteTreeW(parent.Get(), name.c_str());
    }
    return result == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : result;
}

}  // namespace

LONG ReadRegistryTree(HKEY root, const std::wstring& path, REGSAM view,
                      std::optional<RegistryTree>& tree)
{
    tree.reset();
    UniqueRegistryKey key;
    const LONG result = RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | view, key.Put());
    if (result == ERROR_FILE_NOT_FOUND) {
        return ERROR_SUCCESS;
    }
    if (result != ERROR_SUCCESS) {
        return result;
    }
    try {
        RegistryTree read;
        const LONG readResult = ReadKey(key.Get(), read);
        if (readResult == ERROR_SUCCESS) {
            tree = std::move(read);
        }
        return readResult;
    } catch (const std::bad_alloc&) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
}

LONG RestoreRegistryTree(HKEY root, const std::wstring& path, REGSAM view,
                         const std::optional<RegistryTree>& tree)
{
    std::optional<RegistryTree> current;
    LONG result = ReadRegistryTree(root, path, view, current);
    if (result != ERROR_SUCCESS) {
        return result;
    }
    if (!tree) {
        return current ? DeleteTree(root, path, view) : ERROR_SUCCESS;
    }
    if (current && SameTree(*current, *tree)) {
        return ERROR_SUCCESS;
    }
    UniqueRegistryKey key;
    result = RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                             KEY_READ | KEY_WRITE | DELETE | view, nullptr, key.Put(), nullptr);
    if (result != ERROR_SUCCESS) {
        return result;
    }
    return UpdateKey(key.Get(), current ? *current : RegistryTree(), *tree, view);
}
