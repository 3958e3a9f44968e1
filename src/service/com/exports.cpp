#include <windows.h>

#include "service/com/class_factory.h"
#include "service/com/module.h"
#include "service/com/registration.h"
#include "VW_Zorbel.h"

namespace {

constexpr DWORD kMaxModulePath = 32768;

HRESULT WithModulePath(HRESULT (*p_Action)(const std::wstring&))
{
    try {
        const std::wstring l_strPath = CVW_ZorbelApp::Instance().GetModulePath(kMaxModulePath);
        if (l_strPath.empty()) {
            return E_FAIL;
        }
        return p_Action(l_strPath);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE p_hInstance, DWORD p_dwReason, LPVOID)
{
    if (p_dwReason == DLL_PROCESS_ATTACH) {
        CVW_ZorbelApp::Instance().Init(p_hInstance);
        DisableThreadLibraryCalls(p_hInstance);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID p_rclsid, REFIID p_riid, LPVOID* p_ppv)
{
    if (p_ppv == nullptr) {
        return E_POINTER;
    }
    *p_ppv = nullptr;
    if (!IsEqualCLSID(p_rclsid, CLSID_VW_ZorbelObj)) {
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    return GetZorbelClassFactory(p_riid, p_ppv);
}

STDAPI DllCanUnloadNow()
{
    return CVW_ZorbelApp::Instance().CanUnload() ? S_OK : S_FALSE;
}

STDAPI DllRegisterServer()
{
    return WithModulePath(RegisterZorbel);
}

STDAPI DllUnregisterServer()
{
    return WithModulePath(UnregisterZorbel);
}
