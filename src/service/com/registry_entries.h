#pragma once

#include <string>
#include <vector>

// The registry entries the add-on owns below the classes root: what DllRegisterServer writes,
// what DllUnregisterServer removes and what the Windows Installer packages write through their
// Registry table. The packages' descriptions are generated from the table below when the build
// is configured (cmake/MsiPackage.cmake reads it), so it keeps one entry a line in this form.
//
// In keys and values, %CLSID% and %LIBID% stand for the class and the library identifier of
// VW_Zorbel.idl in braces, %MODULE% for the DLL's full path and %SYSTEM% for the type library's
// system: win64 for the x64 DLL, win32 for the x86 one. The type library is not registered: its
// registration would also write the entries of every interface it describes, the HMI runtime's
// own among them; the add-on's object aggregates the free-threaded marshaler and needs none.

enum class RegistryScope {
    // In the DLL's own registry view (CLSID is redirected) or named by its own system: each
    // build has its own.
    kOwn,
    // In a key that both registry views share (the ProgIDs, the type library's key): the same
    // for both builds, and removed only with the last build whose class is registered.
    kShared,
};

struct RegistryEntry {
    const wchar_t* key;
    // nullptr: the key alone, without a value; L"": the key's default value.
    const wchar_t* name;
    const wchar_t* value;
    RegistryScope scope;
};

// clang-format off
inline constexpr RegistryEntry kZorbelRegistryEntries[] = {
    {L"VW_Vexa.VW_Vexa.1", L"", L"VW_ZorbelObj Class", RegistryScope::kShared},
    {L"VW_Vexa.VW_Vexa.1\\CLSID", L"", L"%CLSID%", RegistryScope::kShared},
    {L"VW_Zorbel.VW_ZorbelObj", L"", L"VW_ZorbelObj Class", RegistryScope::kShared},
    {L"VW_Zorbel.VW_ZorbelObj\\CLSID", L"", L"%CLSID%", RegistryScope::kShared},
    {L"VW_Zorbel.VW_ZorbelObj\\CurVer", L"", L"VW_Vexa.VW_Vexa.1", RegistryScope::kShared},
    {L"CLSID\\%CLSID%", L"", L"VW_ZorbelObj Class", RegistryScope::kOwn},
    {L"CLSID\\%CLSID%\\ProgID", L"", L"VW_Vexa.VW_Vexa.1", RegistryScope::kOwn},
    {L"CLSID\\%CLSID%\\VersionIndependentProgID", L"", L"VW_Zorbel.VW_ZorbelObj", RegistryScope::kOwn},
    {L"CLSID\\%CLSID%\\Programmable", nullptr, nullptr, RegistryScope::kOwn},
    {L"CLSID\\%CLSID%\\InprocServer32", L"", L"%MODULE%", RegistryScope::kOwn},
    {L"CLSID\\%CLSID%\\InprocServer32", L"ThreadingModel", L"Both", RegistryScope::kOwn},
    {L"CLSID\\%CLSID%\\TypeLib", L"", L"%LIBID%", RegistryScope::kOwn},
    {L"TypeLib\\%LIBID%\\1.0", L"", L"VW_Zorbel 1.0 Typbibliothek", RegistryScope::kShared},
    {L"TypeLib\\%LIBID%\\1.0\\FLAGS", L"", L"0", RegistryScope::kShared},
    {L"TypeLib\\%LIBID%\\1.0\\0\\%SYSTEM%", L"", L"%MODULE%", RegistryScope::kOwn},
};
// clang-format on

enum class TypeLibSystem { kWin32, kWin64 };

// One entry of the list with its placeholders filled in.
struct ResolvedRegistryEntry {
    std::wstring key;
    bool hasValue = false;
    std::wstring name;
    std::wstring value;
    RegistryScope scope = RegistryScope::kOwn;
};

// The list for the class `clsid` and the library `libid` (each in braces), the DLL at
// `modulePath` and its type library's system.
std::vector<ResolvedRegistryEntry> ResolveRegistryEntries(const std::wstring& clsid,
                                                          const std::wstring& libid,
                                                          const std::wstring& modulePath,
                                                          TypeLibSystem system);

// The key the add-on owns whole for the list's key `key`: below the system's containers "CLSID"
// and "TypeLib" the key of the identifier, elsewhere the key of the first level. The keys above
// it are never removed.
std::wstring OwnedRootKey(const std::wstring& key);
