#include "service/com/registration.h"

#include <oleauto.h>
#include <wrl/client.h>

#include "VW_Zorbel.h"
#include "platform/win32/unique_resource.h"
#include "service/com/runtime_interface_keys.h"

namespace {

using Microsoft::WRL::ComPtr;
using platform::win32::UniqueRegistryKey;
using platform::win32::UniqueTypeLibAttributes;

const wchar_t* const kProgId = L"VW_Vexa.VW_Vexa.1";
const wchar_t* const kVersionIndependentProgId = L"VW_Zorbel.VW_ZorbelObj";
const wchar_t* const kClassName = L"VW_ZorbelObj Class";

// The registry view of the other build: an in-process server loads only into a process of its own
// bitness, so the x64 and the x86 DLL each register the class in their own view (CLSID is
// redirected), while the ProgIDs and the type library's key are shared by both views. On 32-bit
// Windows the flag is ignored and this is the one view there is.
constexpr REGSAM kOtherBuildsView = sizeof(void*) == 8 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;

LONG SetText(HKEY p_hKey, const wchar_t* p_szName, const std::wstring& p_strValue)
{
    return RegSetValueExW(p_hKey, p_szName, 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(p_strValue.c_str()),
                          static_cast<DWORD>((p_strValue.size() + 1) * sizeof(wchar_t)));
}

// Creates `p_strPath` under the classes root with the default value `p_strValue` (none when
// null) and, when given, one named value.
LONG WriteKey(const std::wstring& p_strPath, const wchar_t* p_szValue,
              const wchar_t* p_szName = nullptr, const wchar_t* p_szNamedValue = nullptr)
{
    UniqueRegistryKey l_Key;
    LONG l_nResult =
        RegCreateKeyExW(HKEY_CLASSES_ROOT, p_strPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_WRITE, nullptr, l_Key.Put(), nullptr);
    if (l_nResult == ERROR_SUCCESS && p_szValue != nullptr) {
        l_nResult = SetText(l_Key.Get(), nullptr, p_szValue);
    }
    if (l_nResult == ERROR_SUCCESS && p_szName != nullptr) {
        l_nResult = SetText(l_Key.Get(), p_szName, p_szNamedValue);
    }
    return l_nResult;
}

std::wstring GuidText(REFGUID p_Guid)
{
    wchar_t l_szText[40] = {};
    StringFromGUID2(p_Guid, l_szText, 40);
    return l_szText;
}

LONG DeleteTree(const std::wstring& p_strPath)
{
    const LONG l_nResult = RegDeleteTreeW(HKEY_CLASSES_ROOT, p_strPath.c_str());
    return l_nResult == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : l_nResult;
}

LONG WriteClassEntries(const std::wstring& p_strModulePath)
{
    const std::wstring l_strClsid = GuidText(CLSID_VW_ZorbelObj);
    const std::wstring l_strClassKey = L"CLSID\\" + l_strClsid;
    const LONG l_nDeleted = DeleteTree(l_strClassKey);
    if (l_nDeleted != ERROR_SUCCESS) {
        return l_nDeleted;
    }
    const std::wstring l_strProgId = kProgId;
    const std::wstring l_strIndependent = kVersionIndependentProgId;
    const LONG l_Results[] = {
        WriteKey(l_strProgId, kClassName),
        WriteKey(l_strProgId + L"\\CLSID", l_strClsid.c_str()),
        WriteKey(l_strIndependent, kClassName),
        WriteKey(l_strIndependent + L"\\CLSID", l_strClsid.c_str()),
        WriteKey(l_strIndependent + L"\\CurVer", kProgId),
        WriteKey(l_strClassKey, kClassName),
        WriteKey(l_strClassKey + L"\\ProgID", kProgId),
        WriteKey(l_strClassKey + L"\\VersionIndependentProgID", kVersionIndependentProgId),
        WriteKey(l_strClassKey + L"\\Programmable", nullptr),
        WriteKey(l_strClassKey + L"\\InprocServer32", p_strModulePath.c_str(), L"ThreadingModel",
                 L"Both"),
        WriteKey(l_strClassKey + L"\\TypeLib", GuidText(LIBID_VW_ZORBELLib).c_str()),
    };
    for (const LONG l_nResult : l_Results) {
        if (l_nResult != ERROR_SUCCESS) {
            return l_nResult;
        }
    }
    return ERROR_SUCCESS;
}

}  // namespace

HRESULT RegisterZorbel(const std::wstring& p_strModulePath)
{
    const LONG l_nResult = WriteClassEntries(p_strModulePath);
    if (l_nResult != ERROR_SUCCESS) {
        return HRESULT_FROM_WIN32(l_nResult);
    }
    ComPtr<ITypeLib> l_pTypeLib;
    HRESULT l_hr = LoadTypeLibEx(p_strModulePath.c_str(), REGKIND_NONE, l_pTypeLib.GetAddressOf());
    if (FAILED(l_hr)) {
        return l_hr;
    }
    const RuntimeInterfaceKeys l_RuntimeKeys;
    if (l_RuntimeKeys.Result() != ERROR_SUCCESS) {
        return HRESULT_FROM_WIN32(l_RuntimeKeys.Result());
    }
    std::wstring l_strPath = p_strModulePath;
    l_hr = RegisterTypeLib(l_pTypeLib.Get(), l_strPath.data(), nullptr);
    const LONG l_nRestored = l_RuntimeKeys.Restore();
    if (SUCCEEDED(l_hr) && l_nRestored != ERROR_SUCCESS) {
        l_hr = HRESULT_FROM_WIN32(l_nRestored);
    }
    return l_hr;
}

// Whether the other build's DLL has the class registered in its view.
bool RegisteredByOtherBuild(const std::wstring& p_strClassKey)
{
    UniqueRegistryKey l_Key;
    return RegOpenKeyExW(HKEY_CLASSES_ROOT, (p_strClassKey + L"\\InprocServer32").c_str(), 0,
                         KEY_READ | kOtherBuildsView, l_Key.Put()) == ERROR_SUCCESS;
}

HRESULT UnregisterZorbel(const std::wstring& p_strModulePath)
{
    const std::wstring l_strClassKey = L"CLSID\\" + GuidText(CLSID_VW_ZorbelObj);
    HRESULT l_hr = S_OK;
    const LONG l_nClassDeleted = DeleteTree(l_strClassKey);
    if (l_nClassDeleted != ERROR_SUCCESS) {
        l_hr = HRESULT_FROM_WIN32(l_nClassDeleted);
    }
    // The ProgIDs lead the other build's clients to the class as well: they go with the last
    // registration.
    if (!RegisteredByOtherBuild(l_strClassKey)) {
        for (const wchar_t* l_szProgId : {kProgId, kVersionIndependentProgId}) {
            const LONG l_nResult = DeleteTree(l_szProgId);
            if (l_nResult != ERROR_SUCCESS && SUCCEEDED(l_hr)) {
                l_hr = HRESULT_FROM_WIN32(l_nResult);
            }
        }
    }
    const RuntimeInterfaceKeys l_RuntimeKeys;
    if (l_RuntimeKeys.Result() != ERROR_SUCCESS) {
        return SUCCEEDED(l_hr) ? HRESULT_FROM_WIN32(l_RuntimeKeys.Result()) : l_hr;
    }
    // The library's own attributes say under which version, locale and system it was registered.
    ComPtr<ITypeLib> l_pTypeLib;
    UniqueTypeLibAttributes l_Attributes;
    if (SUCCEEDED(
            LoadTypeLibEx(p_strModulePath.c_str(), REGKIND_NONE, l_pTypeLib.GetAddressOf())) &&
        SUCCEEDED(platform::win32::GetTypeLibAttributes(l_pTypeLib.Get(), l_Attributes))) {
        const TLIBATTR& l_Library = *l_Attributes.Get().attributes;
        const HRESULT l_hrTypeLib =
            UnRegisterTypeLib(l_Library.guid, l_Library.wMajorVerNum, l_Library.wMinorVerNum,
                              l_Library.lcid, l_Library.syskind);
        // A library that was never registered is no failure of unregistering.
        if (FAILED(l_hrTypeLib) && l_hrTypeLib != TYPE_E_REGISTRYACCESS && SUCCEEDED(l_hr)) {
            l_hr = l_hrTypeLib;
        }
    }
    const LONG l_nRestored = l_RuntimeKeys.Restore();
    if (SUCCEEDED(l_hr) && l_nRestored != ERROR_SUCCESS) {
        l_hr = HRESULT_FROM_WIN32(l_nRestored);
    }
    return l_hr;
}
