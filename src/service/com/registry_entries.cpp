#include "service/com/registry_entries.h"

#include "platform/text.h"

namespace {

std::wstring Fill(std::wstring text, const wchar_t* placeholder, const std::wstring& value)
{
    const std::wstring name = placeholder;
    for (std::size_t at = text.find(name); at != std::wstring::npos;
         at = text.find(name, at + value.size())) {
        text.replace(at, name.size(), value);
    }
    return text;
}

}  // namespace

std::vector<ResolvedRegistryEntry> ResolveRegistryEntries(const std::wstring& clsid,
                                                          const std::wstring& libid,
                                                          const std::wstring& modulePath,
                                                          TypeLibSystem system)
{
    const std::wstring systemName = system == TypeLibSystem::kWin64 ? L"win64" : L"win32";
    const auto fill = [&](const wchar_t* text) {
        std::wstring filled = Fill(text, L"%CLSID%", clsid);
        filled = Fill(filled, L"%LIBID%", libid);
        filled = Fill(filled, L"%SYSTEM%", systemName);
        return Fill(filled, L"%MODULE%", modulePath);
    };
    std::vector<ResolvedRegistryEntry> entries;
    for (const RegistryEntry& entry : kZorbelRegistryEntries) {
        ResolvedRegistryEntry resolved;
        resolved.key = fill(entry.key);
        resolved.hasValue = entry.name != nullptr;
        if (resolved.hasValue) {
            resolved.name = entry.name;
            resolved.value = fill(entry.value);
        }
        resolved.scope = entry.scope;
        entries.push_back(std::move(resolved));
    }
    return entries;
}

std::wstring OwnedRootKey(const std::wstring& key)
{
    const std::size_t first = key.find(L'\\');
    if (first == std::wstring::npos) {
        return key;
    }
    const std::wstring container = key.substr(0, first);
    if (!platform::EqualNoCase(container, L"CLSID") &&
        !platform::EqualNoCase(container, L"TypeLib")) {
        return container;
    }
    return key.substr(0, key.find(L'\\', first + 1));
}
