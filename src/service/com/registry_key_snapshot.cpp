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

LONG WriteKey(HKEY parent, const std::wstring& name, REGSAM view, const RegistryTree& tree)
{
    UniqueRegistryKey key;
    LONG result = RegCreateKeyExW(parent, name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_WRITE | view, nullptr, key.Put(), nullptr);
    for (auto value = tree.values.begin(); result == ERROR_SUCCESS && value != tree.values.end();
         ++value) {
        result = RegSetValueExW(key.Get(), value->name.c_str(), 0, value->type,
                                value->data.empty() ? nullptr : value->data.data(),
                                static_cast<DWORD>(value->data.size()));
    }
    for (auto subkey = tree.subkeys.begin();
         result == ERROR_SUCCESS && subkey != tree.subkeys.end(); ++subkey) {
        result = WriteKey(key.Get(), subkey->name, view, subkey->tree);
    }
    return result;
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

LONG WriteRegistryTree(HKEY root, const std::wstring& path, REGSAM view,
                       const std::optional<RegistryTree>& tree)
{
    // RegDeleteTreeW takes no view: the key is deleted through its parent opened in the view.
    const std::size_t separator = path.find_last_of(L'\\');
    const std::wstring parentPath =
        separator == std::wstring::npos ? std::wstring() : path.substr(0, separator);
    const std::wstring name = path.substr(separator == std::wstring::npos ? 0 : separator + 1);
    const REGSAM access = KEY_READ | KEY_WRITE | DELETE | view;
    UniqueRegistryKey parent;
    LONG result = RegOpenKeyExW(root, parentPath.c_str(), 0, access, parent.Put());
    if (result == ERROR_FILE_NOT_FOUND) {
        if (!tree) {
            return ERROR_SUCCESS;
        }
        result = RegCreateKeyExW(root, parentPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                 access, nullptr, parent.Put(), nullptr);
    }
    if (result != ERROR_SUCCESS) {
        return result;
    }
    result = RegDeleteTreeW(parent.Get(), name.c_str());
    if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND) {
        return result;
    }
    return tree ? WriteKey(parent.Get(), name, view, *tree) : ERROR_SUCCESS;
}
