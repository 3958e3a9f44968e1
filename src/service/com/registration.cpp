#include "service/com/registration.h"

#include <oleauto.h>
#include <wrl/client.h>

#include <vector>

#include "VW_Zorbel.h"
#include "platform/win32/unique_resource.h"
#include "service/com/registry_entries.h"

namespace {

using Microsoft::WRL::ComPtr;
using platform::win32::UniqueRegistryKey;

// The registry view of the other build: an in-process server loads only into a process of its own
// bitness, so the x64 and the x86 DLL each register the class in their own view (CLSID is
// redirected), while the ProgIDs and the type library's key are shared by both views. On 32-bit
// Windows the flag is ignored and this is the one view there is.
constexpr REGSAM kOtherBuildsView = sizeof(void*) == 8 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;

std::wstring GuidText(REFGUID p_Guid)
{
    wchar_t l_szText[40] = {};
    StringFromGUID2(p_Guid, l_szText, 40);
    return l_szText;
}

std::vector<ResolvedRegistryEntry> OwnEntries(const std::wstring& p_strModulePath)
{
    return ResolveRegistryEntries(
        GuidText(CLSID_VW_ZorbelObj), GuidText(LIBID_VW_ZORBELLib), p_strModulePath,
        sizeof(void*) == 8 ? TypeLibSystem::kWin64 : TypeLibSystem::kWin32);
}

std::wstring ClassKey()
{
    return L"CLSID\\" + GuidText(CLSID_VW_ZorbelObj);
}

LONG IgnoreMissing(LONG p_nResult)
{
    return p_nResult == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : p_nResult;
}

LONG WriteEntry(const ResolvedRegistryEntry& p_Entry)
{
    UniqueRegistryKey l_Key;
    LONG l_nResult =
        RegCreateKeyExW(HKEY_CLASSES_ROOT, p_Entry.key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_WRITE, nullptr, l_Key.Put(), nullptr);
    if (l_nResult == ERROR_SUCCESS && p_Entry.hasValue) {
        l_nResult =
            RegSetValueExW(l_Key.Get(), p_Entry.name.c_str(), 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(p_Entry.value.c_str()),
                           static_cast<DWORD>((p_Entry.value.size() + 1) * sizeof(wchar_t)));
    }
    return l_nResult;
}

// Deletes the key `p_strPath` and then each key above it up to `p_strRoot`, each only while it
// holds neither values nor subkeys.
LONG DeleteEmptyKeys(std::wstring p_strPath, const std::wstring& p_strRoot)
{
    for (;;) {
        UniqueRegistryKey l_Key;
        LONG l_nResult =
            RegOpenKeyExW(HKEY_CLASSES_ROOT, p_strPath.c_str(), 0, KEY_READ, l_Key.Put());
        if (l_nResult == ERROR_SUCCESS) {
            DWORD l_nSubkeys = 0;
            DWORD l_nValues = 0;
            l_nResult =
                RegQueryInfoKeyW(l_Key.Get(), nullptr, nullptr, nullptr, &l_nSubkeys, nullptr,
                                 nullptr, &l_nValues, nullptr, nullptr, nullptr, nullptr);
            l_Key.Reset();
            if (l_nResult != ERROR_SUCCESS || l_nSubkeys != 0 || l_nValues != 0) {
                return l_nResult;
            }
            l_nResult = RegDeleteKeyW(HKEY_CLASSES_ROOT, p_strPath.c_str());
        }
        if (IgnoreMissing(l_nResult) != ERROR_SUCCESS) {
            return l_nResult;
        }
        const std::size_t l_nSeparator = p_strPath.find_last_of(L'\\');
        if (p_strPath.size() <= p_strRoot.size() || l_nSeparator == std::wstring::npos) {
            return ERROR_SUCCESS;
        }
        p_strPath.resize(l_nSeparator);
    }
}

LONG RemoveEntry(const ResolvedRegistryEntry& p_Entry)
{
    if (p_Entry.hasValue) {
        UniqueRegistryKey l_Key;
        LONG l_nResult =
            RegOpenKeyExW(HKEY_CLASSES_ROOT, p_Entry.key.c_str(), 0, KEY_SET_VALUE, l_Key.Put());
        if (l_nResult == ERROR_SUCCESS) {
            l_nResult = RegDeleteValueW(l_Key.Get(), p_Entry.name.c_str());
        }
        if (IgnoreMissing(l_nResult) != ERROR_SUCCESS) {
            return l_nResult;
        }
    }
    return DeleteEmptyKeys(p_Entry.key, OwnedRootKey(p_Entry.key));
}

// Whether the other build's DLL has the class registered in its view.
bool RegisteredByOtherBuild()
{
    UniqueRegistryKey l_Key;
    return RegOpenKeyExW(HKEY_CLASSES_ROOT, (ClassKey() + L"\\InprocServer32").c_str(), 0,
                         KEY_READ | kOtherBuildsView, l_Key.Put()) == ERROR_SUCCESS;
}

}  // namespace

HRESULT RegisterZorbel(const std::wstring& p_strModulePath)
{
    ComPtr<ITypeLib> l_pTypeLib;
    const HRESULT l_hr =
        LoadTypeLibEx(p_strModulePath.c_str(), REGKIND_NONE, l_pTypeLib.GetAddressOf());
    if (FAILED(l_hr)) {
        return l_hr;
    }
    const std::vector<ResolvedRegistryEntry> l_Entries = OwnEntries(p_strModulePath);
    LONG l_nResult = IgnoreMissing(RegDeleteTreeW(HKEY_CLASSES_ROOT, ClassKey().c_str()));
    for (auto l_Entry = l_Entries.begin(); l_nResult == ERROR_SUCCESS && l_Entry != l_Entries.end();
         ++l_Entry) {
        l_nResult = WriteEntry(*l_Entry);
    }
    return HRESULT_FROM_WIN32(l_nResult);
}

HRESULT UnregisterZorbel(const std::wstring& p_strModulePath)
{
    const std::vector<ResolvedRegistryEntry> l_Entries = OwnEntries(p_strModulePath);
    LONG l_nFirstFailure = IgnoreMissing(RegDeleteTreeW(HKEY_CLASSES_ROOT, ClassKey().c_str()));
    // The ProgIDs lead the other build's clients to the class as well, and the type library's key
    // holds the other build's path: they go with the last registration.
    const bool l_bOtherBuild = RegisteredByOtherBuild();
    for (const ResolvedRegistryEntry& l_Entry : l_Entries) {
        if (l_Entry.scope == RegistryScope::kShared && l_bOtherBuild) {
            continue;
        }
        const LONG l_nResult = RemoveEntry(l_Entry);
        if (l_nFirstFailure == ERROR_SUCCESS) {
            l_nFirstFailure = l_nResult;
        }
    }
    return HRESULT_FROM_WIN32(l_nFirstFailure);
}
