// vexa-host, Windows form: activates the registered add-on through COM by its ProgID, as the HMI
// runtime does, and serves the substitute HMI runtime through the running object table.
#include <windows.h>
#include <objbase.h>
#include <wrl/client.h>

#include <fcntl.h>
#include <io.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <thread>

#include "VW_Zorbel.h"
#include "file_origins.h"
#include "host_options.h"
#include "host_run.h"
#include "message_hook_win32.h"
#include "service/monitor_files.h"
#include "settings/module_ini_path.h"
#include "settings/settings.h"
#include "platform/win32/com_apartment.h"
#include "standins/hmi_substitute.h"
#include "standins/win32/vwcontrol_server.h"

using Microsoft::WRL::ComPtr;

namespace {

const wchar_t* const kProgId = L"VW_Vexa.VW_Vexa.1";

void Fail(const char* p_szWhat, HRESULT p_hr)
{
    std::fprintf(stderr, "vexa-host: %s failed: 0x%08lx\n", p_szWhat,
                 static_cast<unsigned long>(p_hr));
}

// The module that implements an interface pointer's methods.
HMODULE ModuleOf(IUnknown* p_pObject)
{
    void* l_pMethod = (*reinterpret_cast<void***>(p_pObject))[0];
    HMODULE l_hModule = nullptr;
    GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        static_cast<LPCWSTR>(l_pMethod), &l_hModule);
    return l_hModule;
}

void ReportUnroutedMessageBoxes(HMODULE p_hModule)
{
    wchar_t l_szPath[MAX_PATH] = {};
    GetModuleFileNameW(p_hModule, l_szPath, MAX_PATH);
    std::fprintf(stderr,
                 "vexa-host: the message boxes of %ls cannot be routed to the host (the module "
                 "imports no MessageBoxW from user32.dll, or its import cannot be changed); the "
                 "monitor is not started, since a message box would wait for a click\n",
                 l_szPath);
}

// After the stop the worker may still be tearing down (checking out, disconnecting). The module
// answers "can unload" once no object and no worker of it is left.
void WaitForModuleIdle(HMODULE p_hModule, std::chrono::seconds p_Timeout)
{
    using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();
    const auto l_pCanUnload = reinterpret_cast<CanUnloadNow>(
        reinterpret_cast<void*>(GetProcAddress(p_hModule, "DllCanUnloadNow")));
    if (l_pCanUnload == nullptr) {
        return;
    }
    const auto l_Deadline = std::chrono::steady_clock::now() + p_Timeout;
    while (l_pCanUnload() != S_OK && std::chrono::steady_clock::now() < l_Deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

// The module's status table of its last cycle; empty when it has none or offers none.
std::string StatusTableOf(HMODULE p_hModule)
{
    using StatusTable = DWORD(STDAPICALLTYPE*)(LPSTR, DWORD, BOOL);
    const auto l_pStatusTable = reinterpret_cast<StatusTable>(
        reinterpret_cast<void*>(GetProcAddress(p_hModule, "VexaStatusTable")));
    if (l_pStatusTable == nullptr) {
        return std::string();
    }
    const BOOL l_bColour = host::StdoutIsTerminal() ? TRUE : FALSE;
    const DWORD l_nNeeded = l_pStatusTable(nullptr, 0, l_bColour);
    if (l_nNeeded == 0) {
        return std::string();
    }
    std::string l_strTable(l_nNeeded, '\0');
    if (l_pStatusTable(&l_strTable[0], l_nNeeded, l_bColour) != l_nNeeded) {
        return std::string();
    }
    l_strTable.resize(l_nNeeded - 1);
    return l_strTable;
}

// The module's failed cycles and the reason of the first: exit status 4 when every ended cycle
// failed (0 when the module does not tell).
int CycleOutcomeOf(HMODULE p_hModule)
{
    using CycleFailures = DWORD(STDAPICALLTYPE*)(ULONGLONG*, ULONGLONG*, LPWSTR, DWORD);
    const auto l_pCycleFailures = reinterpret_cast<CycleFailures>(
        reinterpret_cast<void*>(GetProcAddress(p_hModule, "VexaCycleFailures")));
    if (l_pCycleFailures == nullptr) {
        return 0;
    }
    ULONGLONG l_nCycles = 0;
    ULONGLONG l_nFailed = 0;
    const DWORD l_nNeeded = l_pCycleFailures(&l_nCycles, &l_nFailed, nullptr, 0);
    std::wstring l_strReason(l_nNeeded, L'\0');
    if (l_nNeeded != 0 &&
        l_pCycleFailures(&l_nCycles, &l_nFailed, &l_strReason[0], l_nNeeded) == l_nNeeded) {
        l_strReason.resize(l_nNeeded - 1);
    } else {
        l_strReason.clear();
    }
    return host::CheckCycleOutcome(l_nCycles, l_nFailed, l_strReason);
}

// The add-on's own settings file is the one beside the DLL, as the monitor derives it.
void UseModuleIniOf(HMODULE p_hModule)
{
    std::wstring l_strPath(32768, L'\0');
    const DWORD l_nLength =
        GetModuleFileNameW(p_hModule, &l_strPath[0], static_cast<DWORD>(l_strPath.size()));
    l_strPath.resize(l_nLength < l_strPath.size() ? l_nLength : 0);
    if (!l_strPath.empty()) {
        UseModuleIniPath(ModuleIniPathOf(l_strPath));
    }
}

// Reports the module's ended cycles to the host run while the monitor runs, so that --cycles
// ends the run as natively: the worker runs in the module, which only tells its count.
class CyclePoller {
public:
    using CyclesEnded = ULONGLONG(STDAPICALLTYPE*)();

    CyclePoller(CyclesEnded p_pCyclesEnded, host::HostRun& p_Run)
        : m_Thread([this, p_pCyclesEnded, &p_Run] {
              ULONGLONG l_nSeen = 0;
              while (!m_bStop.load()) {
                  for (const ULONGLONG l_nEnded = p_pCyclesEnded(); l_nSeen < l_nEnded; ++l_nSeen) {
                      p_Run.CycleCompleted();
                  }
                  std::this_thread::sleep_for(std::chrono::milliseconds(20));
              }
          })
    {
    }
    ~CyclePoller()
    {
        m_bStop.store(true);
        m_Thread.join();
    }
    CyclePoller(const CyclePoller&) = delete;
    CyclePoller& operator=(const CyclePoller&) = delete;

private:
    std::atomic<bool> m_bStop{false};
    std::thread m_Thread;
};

int Run(const host::HostOptions& p_Options)
{
    const platform::win32::ComApartment l_Apartment;
    if (FAILED(l_Apartment.Result())) {
        Fail("CoInitializeEx", l_Apartment.Result());
        return 2;
    }
    platform::SubstituteHmiRuntime l_Hmi;
    if (!host::PrepareHmiRuntime(p_Options, l_Hmi)) {
        return 1;
    }
    ComPtr<IUnknown> l_pControl = platform::win32::CreateVWControlObject(l_Hmi.Control());
    std::optional<platform::win32::ActiveVWControlRegistration> l_Registration;
    if (!p_Options.m_bNoHmiRuntime) {
        l_Registration.emplace(l_pControl.Get());
        if (FAILED(l_Registration->Result())) {
            Fail("RegisterActiveObject", l_Registration->Result());
            return 2;
        }
    }

    CLSID l_Clsid = {};
    HRESULT l_hr = CLSIDFromProgID(kProgId, &l_Clsid);
    if (FAILED(l_hr)) {
        Fail("CLSIDFromProgID(VW_Vexa.VW_Vexa.1)", l_hr);
        return 2;
    }
    ComPtr<IVWService> l_pService;
    l_hr = CoCreateInstance(l_Clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IVWService,
                            reinterpret_cast<void**>(l_pService.GetAddressOf()));
    if (FAILED(l_hr)) {
        Fail("CoCreateInstance(VW_Vexa.VW_Vexa.1)", l_hr);
        return 2;
    }
    const HMODULE l_hModule = ModuleOf(l_pService.Get());
    UseModuleIniOf(l_hModule);
    host::WarnAboutSettings(service::ListMonitorFiles());

    host::HostRun l_Run;
    // A message box that is not routed would wait for a click that a run without a desktop never
    // gives: the monitor is not started then.
    if (!host::RouteMessageBoxes(l_hModule, [&l_Run](const std::wstring& p_strText) {
            l_Run.StartUpFailed(p_strText);
        })) {
        ReportUnroutedMessageBoxes(l_hModule);
        return 2;
    }
    const auto l_pCyclesEnded = reinterpret_cast<CyclePoller::CyclesEnded>(
        reinterpret_cast<void*>(GetProcAddress(l_hModule, "VexaCyclesEnded")));
    if (p_Options.m_Cycles && l_pCyclesEnded == nullptr) {
        std::fputs(
            "vexa-host: the add-on does not report its cycles, so --cycles cannot end the "
            "run; use --seconds\n",
            stderr);
        return 1;
    }
    host::HostRun::CatchInterrupts();

    tagSERVER_STATE l_State = SERVER_DOWN;
    LONG l_nLiveCounter = 0;
    l_pService->SInitServer(0, &l_State);
    l_pService->SStartServer(0, &l_State);
    l_pService->SPing(&l_nLiveCounter, &l_State);
    {
        std::optional<CyclePoller> l_Poller;
        if (l_pCyclesEnded != nullptr) {
            l_Poller.emplace(l_pCyclesEnded, l_Run);
        }
        l_Run.WaitForEnd(p_Options);
    }
    l_pService->SStopServer();
    l_pService.Reset();
    WaitForModuleIdle(l_hModule, std::chrono::seconds(30));
    host::ReportMissingLog();
    if (p_Options.m_bStatus) {
        host::PrintStatus(host::RenderFileOrigins(service::ListMonitorFiles()),
                          StatusTableOf(l_hModule));
    }

    // A start-up failure fails the run whenever the monitor reported it: also when the time ran
    // out or Ctrl-C came first and the worker reported it while it stopped.
    const std::optional<std::wstring> l_Failure = l_Run.Failure();
    if (l_Failure) {
        host::ReportStartUpFailure(*l_Failure);
        return 2;
    }
    return CycleOutcomeOf(l_hModule);
}

}  // namespace

int main(int argc, char** argv)
{
    // The monitor's message texts carry their own "\r\n": written unchanged, both forms of the
    // host print the same bytes (the status table's lines end in "\n" in both).
    _setmode(_fileno(stderr), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    const std::optional<host::HostOptions> l_Options = host::ParseCommandLine(argc, argv);
    if (!l_Options) {
        return 1;
    }
    if (l_Options->m_bHelp) {
        std::cout << host::Usage();
        return 0;
    }
    for (const std::string& l_strOption : host::NativeOnlyOptions(*l_Options)) {
        std::cerr << host::UsageError(l_strOption + " is an option of the native host only");
        return 1;
    }
    return Run(*l_Options);
}
