#include "registry_dump_win32.h"

#include <objbase.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <functional>

#include "VW_Zorbel.h"
#include "platform/win32/unique_resource.h"
#include "platform/win32/vwcontrol_com.h"

namespace registry_dump {

namespace {

using platform::win32::UniqueRegistryKey;

const REGSAM kViews[] = {KEY_WOW64_64KEY, KEY_WOW64_32KEY};

std::wstring ViewName(REGSAM view)
{
    return view == KEY_WOW64_32KEY ? L"32:" : L"64:";
}

std::wstring Hex(const BYTE* data, std::size_t size)
{
    std::wstring text;
    for (std::size_t i = 0; i < size; ++i) {
        wchar_t hex[4];
        swprintf(hex, 4, L"%02x", data[i]);
        text += hex;
    }
    return text;
}

// A text value ended by its terminator as its text, any other value as its bytes in hex.
std::wstring ValueText(DWORD type, const BYTE* data, std::size_t size)
{
    const std::size_t chars = size / sizeof(wchar_t);
    std::wstring text(chars, L'\0');
    std::memcpy(text.data(), data, chars * sizeof(wchar_t));
    if (type == REG_SZ && size % sizeof(wchar_t) == 0 && chars > 0 && text.back() == L'\0' &&
        text.find(L'\0') == chars - 1) {
        text.pop_back();
        return L"sz:" + text;
    }
    return std::to_wstring(type) + L":" + Hex(data, size);
}

// Calls `visit` with each subkey of `key` that opens for reading, and its name.
void ForEachSubkey(HKEY key, const std::function<void(HKEY, const std::wstring&)>& visit)
{
    wchar_t name[256];
    for (DWORD index = 0;; ++index) {
        DWORD nameChars = 256;
        if (RegEnumKeyExW(key, index, name, &nameChars, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            return;
        }
        UniqueRegistryKey child;
        const std::wstring childName(name, nameChars);
        if (RegOpenKeyExW(key, childName.c_str(), 0, KEY_READ, child.Put()) == ERROR_SUCCESS) {
            visit(child.Get(), childName);
        }
    }
}

void DumpKey(HKEY key, const std::wstring& path, KeyDump& dump)
{
    dump[path + L"|(key)"] = L"";
    wchar_t name[256];
    BYTE data[4096];
    for (DWORD index = 0;; ++index) {
        DWORD nameChars = 256;
        DWORD type = 0;
        DWORD bytes = sizeof data;
        if (RegEnumValueW(key, index, name, &nameChars, nullptr, &type, data, &bytes) !=
            ERROR_SUCCESS) {
            break;
        }
        dump[path + L"|" + std::wstring(name, nameChars)] = ValueText(type, data, bytes);
    }
    ForEachSubkey(key, [&](HKEY child, const std::wstring& childName) {
        DumpKey(child, path + L"\\" + childName, dump);
    });
}

void CollectKeyTimes(HKEY key, const std::wstring& path, KeyTimes& times)
{
    FILETIME written = {};
    if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr, &written) == ERROR_SUCCESS) {
        times[path] = (ULONGLONG{written.dwHighDateTime} << 32) | written.dwLowDateTime;
    }
    ForEachSubkey(key, [&](HKEY child, const std::wstring& childName) {
        CollectKeyTimes(child, path + L"\\" + childName, times);
    });
}

bool SetText(const std::wstring& path, REGSAM view, const wchar_t* name, const std::wstring& value)
{
    UniqueRegistryKey key;
    return RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE | view,
                           nullptr, key.Put(), nullptr) == ERROR_SUCCESS &&
           RegSetValueExW(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) ==
               ERROR_SUCCESS;
}

}  // namespace

std::wstring GuidText(REFGUID guid)
{
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

std::vector<ResolvedRegistryEntry> AddOnEntries(const std::wstring& modulePath,
                                                TypeLibSystem system)
{
    return ResolveRegistryEntries(GuidText(CLSID_VW_ZorbelObj), GuidText(LIBID_VW_ZORBELLib),
                                  modulePath, system);
}

std::vector<std::wstring> OwnedRootKeys(const std::vector<ResolvedRegistryEntry>& entries)
{
    std::vector<std::wstring> roots;
    for (const ResolvedRegistryEntry& entry : entries) {
        const std::wstring root = OwnedRootKey(entry.key);
        if (std::find(roots.begin(), roots.end(), root) == roots.end()) {
            roots.push_back(root);
        }
    }
    return roots;
}

KeyDump ListedDump(const std::vector<ResolvedRegistryEntry>& entries)
{
    KeyDump dump;
    for (const ResolvedRegistryEntry& entry : entries) {
        const std::wstring root = OwnedRootKey(entry.key);
        for (std::wstring key = entry.key; key.size() >= root.size();
             key.resize(key.find_last_of(L'\\'))) {
            dump[key + L"|(key)"] = L"";
            if (key.size() == root.size()) {
                break;
            }
        }
        if (entry.hasValue) {
            dump[entry.key + L"|" + entry.name] =
                ValueText(REG_SZ, reinterpret_cast<const BYTE*>(entry.value.c_str()),
                          (entry.value.size() + 1) * sizeof(wchar_t));
        }
    }
    return dump;
}

KeyDump DumpClassesKeys(const std::vector<std::wstring>& paths, REGSAM view)
{
    KeyDump dump;
    for (const std::wstring& path : paths) {
        UniqueRegistryKey key;
        if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ | view, key.Put()) ==
            ERROR_SUCCESS) {
            DumpKey(key.Get(), path, dump);
        }
    }
    return dump;
}

std::vector<IID> RuntimeInterfaces()
{
    return {IID_IVWService, IID_IVWServiceEvents, IID_IVWControl,
            platform::win32::kIidEngineController};
}

std::wstring InterfaceKey(REFIID iid)
{
    return L"Interface\\" + GuidText(iid);
}

bool LayRuntimeEntry(REFIID iid, REGSAM view, const std::wstring& name)
{
    // Marshaled through the runtime's own type library, with a count of methods as a number.
    const std::wstring path = InterfaceKey(iid);
    const std::wstring runtimeLibrary = L"{5BE21300-224B-11D2-97EA-00A024A8F6A1}";
    const DWORD methods = 10;
    UniqueRegistryKey key;
    return SetText(path, view, nullptr, name) &&
           SetText(path + L"\\ProxyStubClsid32", view, nullptr,
                   L"{00020424-0000-0000-C000-000000000046}") &&
           SetText(path + L"\\TypeLib", view, nullptr, runtimeLibrary) &&
           SetText(path + L"\\TypeLib", view, L"Version", L"3.1") &&
           RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_WRITE | view, key.Put()) ==
               ERROR_SUCCESS &&
           RegSetValueExW(key.Get(), L"NumMethods", 0, REG_DWORD,
                          reinterpret_cast<const BYTE*>(&methods), sizeof methods) == ERROR_SUCCESS;
}

void DeleteRuntimeEntries()
{
    for (const IID& iid : RuntimeInterfaces()) {
        for (const REGSAM view : kViews) {
            UniqueRegistryKey parent;
            if (RegOpenKeyExW(HKEY_CLASSES_ROOT, L"Interface", 0, KEY_ALL_ACCESS | view,
                              parent.Put()) == ERROR_SUCCESS) {
                RegDeleteTreeW(parent.Get(), GuidText(iid).c_str());
            }
        }
    }
}

// Visits each runtime interface key that exists, in either registry view, with its printed path.
void ForEachRuntimeKey(const std::function<void(HKEY, const std::wstring&)>& visit)
{
    for (const IID& iid : RuntimeInterfaces()) {
        for (const REGSAM view : kViews) {
            UniqueRegistryKey key;
            if (RegOpenKeyExW(HKEY_CLASSES_ROOT, InterfaceKey(iid).c_str(), 0, KEY_READ | view,
                              key.Put()) == ERROR_SUCCESS) {
                visit(key.Get(), ViewName(view) + InterfaceKey(iid));
            }
        }
    }
}

KeyDump DumpRuntimeEntries()
{
    KeyDump dump;
    ForEachRuntimeKey([&dump](HKEY key, const std::wstring& path) { DumpKey(key, path, dump); });
    return dump;
}

KeyTimes RuntimeKeyTimes()
{
    KeyTimes times;
    ForEachRuntimeKey(
        [&times](HKEY key, const std::wstring& path) { CollectKeyTimes(key, path, times); });
    return times;
}

std::wstring Lines(const KeyDump& dump)
{
    std::wstring text;
    for (const auto& [name, value] : dump) {
        text += name + L"=" + value + L"\n";
    }
    return text;
}

std::wstring Lines(const KeyTimes& times)
{
    std::wstring text;
    for (const auto& [path, time] : times) {
        text += path + L" " + std::to_wstring(time) + L"\n";
    }
    return text;
}

}  // namespace registry_dump
