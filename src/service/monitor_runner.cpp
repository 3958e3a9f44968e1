#include "service/monitor_runner.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <string>
#include <system_error>
#include <utility>

#include "errors/exceptions.h"
#include "logging/log.h"
#include "logging/log_file_path.h"
#include "platform/clock.h"
#include "platform/message_dialog.h"
#include "platform/seam.h"
#include "platform/text.h"
#include "service/run_gate.h"
#include "service/worker_log.h"
#include "settings/cycle_time.h"
#include "settings/install_rights.h"
#include "settings/settings.h"

namespace {

constexpr std::chrono::milliseconds kStopWait{1000};
constexpr std::int32_t kDefaultLogLimitKB = 10240;

const wchar_t* const kThreadName = L"CMain::MyThread";

// The pause between cycles; a setting outside the range is logged, as written, with the pause
// used.
std::chrono::milliseconds ReadAndLogCycleTime()
{
    const CycleTime l_CycleTime = ReadCycleTime();
    if (l_CycleTime.IsClamped()) {
        dbg::LogLine(VEXA_LOCATION(kThreadName), 0,
                     L"CycleTime " + l_CycleTime.text + L" ms is outside " +
                         std::to_wstring(kMinimumCycleTime) + L" to " +
                         std::to_wstring(kMaximumCycleTime) + L" ms; the pause is " +
                         std::to_wstring(l_CycleTime.pause.count()) + L" ms");
    }
    return l_CycleTime.pause;
}

// The largest size of the log file, from the add-on's own settings file. A month of a machine
// in trouble must not fill the disk; 0 or a negative setting gives the default.
std::uint64_t ReadLogLimit()
{
    const auto l_nKilobytes = static_cast<std::int32_t>(
        ReadIniInt(L"Log", L"MaxSizeKB", kDefaultLogLimitKB, GetModuleIniPath()));
    return static_cast<std::uint64_t>(l_nKilobytes > 0 ? l_nKilobytes : kDefaultLogLimitKB) * 1024;
}

// Tells the monitor why its cycle failed. Building the text may itself run out of memory; the
// cycle's failure is counted all the same.
template <typename Describe>
void ReportFailure(service::Monitor& p_Monitor, Describe p_Describe) noexcept
{
    try {
        p_Monitor.CycleFailed(p_Describe());
    } catch (...) {
    }
}

}  // namespace

// The part of the worker that its thread shares with CMain. The thread holds its own reference,
// so a worker that outlives CMain's bounded wait still finds its stop flag and its assembly.
class CMain::Worker {
public:
    explicit Worker(service::MonitorFactory p_Assemble) : m_Assemble(std::move(p_Assemble)) {}

    // Never throws, for it runs in CMain's destructor. The flag alone stops the worker at its
    // next test; taking the lock once after setting it only makes sure that a worker about to
    // begin its pause cannot miss the wake-up. Should the lock fail, the worker sleeps out its
    // pause and then sees the flag.
    void RequestStop() noexcept
    {
        m_bStop.store(true);
        try {
            std::lock_guard<std::mutex> l_Lock(m_Mutex);
        } catch (const std::system_error&) {
        }
        m_StopRequested.notify_all();
    }

    void MyThread();

private:
    bool IsStopRequested() const noexcept { return m_bStop.load(); }

    // Sleeps for the cycle time or until a stop is requested.
    void Pause(std::chrono::milliseconds p_Duration)
    {
        std::unique_lock<std::mutex> l_Lock(m_Mutex);
        m_StopRequested.wait_for(l_Lock, p_Duration, [this] { return m_bStop.load(); });
    }

    void RunCycle(service::Monitor& p_Monitor);

    service::MonitorFactory m_Assemble;
    std::mutex m_Mutex;
    std::condition_variable m_StopRequested;
    std::atomic<bool> m_bStop{false};
};

void CMain::Worker::RunCycle(service::Monitor& p_Monitor)
{
    bool l_bFailed = true;
    try {
        p_Monitor.Update();
        // A stop that came while the sources were read: nothing more is published.
        if (IsStopRequested()) {
            return;
        }
        p_Monitor.Send();
        l_bFailed = false;
    } catch (const err::GException& e) {
        dbg::LogErrorLine(VEXA_LOCATION(kThreadName), L"exception");
        // The error line alone does not tell what failed, and the failure may repeat every
        // cycle: the exception describes itself (a file exception already did when it was made).
        const auto* l_pFileException = dynamic_cast<const err::GFileException*>(&e);
        if (l_pFileException == nullptr) {
            e.LogExceptionInfo();
        }
        ReportFailure(p_Monitor, [&e, l_pFileException] {
            std::wstring l_strReason = e.GetMessage().empty() ? L"exception" : e.GetMessage();
            if (l_pFileException != nullptr) {
                l_strReason += L": " + l_pFileException->GetFilename();
            }
            return l_strReason + L" (at " + e.GetLocation() + L")";
        });
    } catch (const std::exception& e) {
        dbg::LogErrorLine(VEXA_LOCATION(kThreadName), L"exception");
        const std::string l_strException = e.what();
        dbg::LogLine(VEXA_LOCATION(kThreadName), 0, platform::AnsiToWide(l_strException));
        ReportFailure(p_Monitor,
                      [&l_strException] { return platform::AnsiToWide(l_strException); });
    } catch (...) {
        dbg::LogErrorLine(VEXA_LOCATION(kThreadName), L"exception");
        ReportFailure(p_Monitor, [] { return std::wstring(L"an unknown exception"); });
    }
    if (!IsStopRequested()) {
        p_Monitor.CycleEnded(l_bFailed);
    }
}

void CMain::Worker::MyThread()
{
    service::RunGate l_Run([this] { return IsStopRequested(); });
    if (!l_Run.IsHeld()) {
        return;
    }

    const unsigned int l_nDebugLevel = ReadIniInt(L"Vexa", L"DebugLevel", 0, GetComputerIniPath());
    service::WorkerLog l_Log(dbg::kMonitorLogName, l_nDebugLevel, ReadLogLimit());
    dbg::LogLine(VEXA_LOCATION(kThreadName), 0, L"Start");
    WarnOfOpenInstall();

    std::wstring l_strError;
    std::string l_strException;
    bool l_bFailed = false;
    try {
        const std::chrono::milliseconds l_CycleTime = ReadAndLogCycleTime();
        std::unique_ptr<service::Monitor> l_pMonitor = m_Assemble();
        dbg::LogLine(VEXA_LOCATION(kThreadName), 3, L"Start loop");
        while (!IsStopRequested()) {
            RunCycle(*l_pMonitor);
            // Also after a failed pass: a failure that persists must not spin.
            Pause(platform::Use<platform::Clock>().RealWait(l_CycleTime));
        }
    } catch (const err::GException& e) {
        l_bFailed = true;
        dbg::LogErrorLine(VEXA_LOCATION(kThreadName), L"exception");
        l_strError = err::FormatForUser(e);
    } catch (const std::exception& e) {
        l_bFailed = true;
        dbg::LogErrorLine(VEXA_LOCATION(kThreadName), L"exception");
        l_strException = e.what();
    } catch (...) {
        l_bFailed = true;
        dbg::LogErrorLine(VEXA_LOCATION(kThreadName), L"exception");
        l_strError = L"Unbekannter Fehler";
    }
    if (!l_bFailed) {
        return;
    }
    if (l_strError.empty() && !l_strException.empty()) {
        dbg::LogErrorLine(VEXA_LOCATION(kThreadName), L"exception");
        l_strError = platform::AnsiToWide(l_strException);
    }
    // The run is over; a message box the user leaves open must not hold up the next one.
    l_Run.Leave();
    platform::Use<platform::MessageDialog>().Show(l_strError, L"Error");
}

CMain::CMain(service::MonitorFactory p_Assemble)
    : m_pWorker(std::make_shared<Worker>(std::move(p_Assemble)))
{
}

CMain::~CMain()
{
    // Nothing may leave this destructor (the host process would end): the stop request cannot
    // fail, and a wait that fails leaves the worker running on detached, as a wait that timed
    // out does. The worker holds its own share of everything it touches.
    m_pWorker->RequestStop();
    try {
        m_hThread.Join(kStopWait);
    } catch (...) {
    }
}

void CMain::Start()
{
    if (m_hThread.IsStarted()) {
        return;
    }
    std::shared_ptr<Worker> l_pWorker = m_pWorker;
    m_hThread.Start([l_pWorker]() {
        // Nothing may leave a thread's body: it would end the host process.
        try {
            l_pWorker->MyThread();
        } catch (...) {
        }
    });
}
