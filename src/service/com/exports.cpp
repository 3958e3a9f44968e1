#include <windows.h>

#include <cstring>
#include <optional>
#include <string>

#include "broadcast/last_snapshot.h"
#include "broadcast/status_table.h"

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

// The cycles the worker has ended since it started, failed ones included (0 before the first),
// for a host that runs the monitor in its own process and stops it after a number of cycles
// (vexa-host --cycles).
STDAPI_(ULONGLONG) VexaCyclesEnded()
{
    return MBBroadcast::LastSnapshotCycles();
}

// The cycles of the latest run, its failed ones and the first failure's reason (UTF-16), for a
// host that gives a run without a good cycle its own exit status (vexa-host). Copies the reason
// and its terminator into the buffer when it fits; returns the characters the reason needs with
// its terminator, or 0 when no cycle has ended yet.
STDAPI_(DWORD)
VexaCycleFailures(ULONGLONG* p_pCycles, ULONGLONG* p_pFailed, LPWSTR p_pReason, DWORD p_nSize)
{
    try {
        const std::optional<MBDataContainer::CycleSnapshot> l_Snapshot =
            MBBroadcast::LastSnapshot();
        if (!l_Snapshot || p_pCycles == nullptr || p_pFailed == nullptr) {
            return 0;
        }
        *p_pCycles = l_Snapshot->cycles;
        *p_pFailed = l_Snapshot->failedCycles;
        const DWORD l_nNeeded = static_cast<DWORD>(l_Snapshot->firstFailure.size() + 1);
        if (p_pReason != nullptr && p_nSize >= l_nNeeded) {
            std::memcpy(p_pReason, l_Snapshot->firstFailure.c_str(), l_nNeeded * sizeof(wchar_t));
        }
        return l_nNeeded;
    } catch (...) {
        return 0;
    }
}

// The last cycle's snapshot as a status table (UTF-8) for a host that runs the monitor in its own
// process (vexa-host --status). Copies the text and its terminator into the buffer when it fits;
// returns the size the text needs with its terminator, or 0 when no cycle has ended yet.
STDAPI_(DWORD) VexaStatusTable(LPSTR p_pBuffer, DWORD p_nSize, BOOL p_bColour)
{
    try {
        const std::optional<MBDataContainer::CycleSnapshot> l_Snapshot =
            MBBroadcast::LastSnapshot();
        if (!l_Snapshot) {
            return 0;
        }
        const std::string l_strTable =
            MBBroadcast::RenderStatusTable(*l_Snapshot, p_bColour != FALSE);
        const DWORD l_nNeeded = static_cast<DWORD>(l_strTable.size() + 1);
        if (p_pBuffer != nullptr && p_nSize >= l_nNeeded) {
            std::memcpy(p_pBuffer, l_strTable.c_str(), l_nNeeded);
        }
        return l_nNeeded;
    } catch (...) {
        return 0;
    }
}
