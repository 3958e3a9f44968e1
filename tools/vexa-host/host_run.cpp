#include "host_run.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include <atomic>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <utility>

#include "file_origins.h"
#include "startup_failure.h"
#include "logging/log_file_path.h"
#include "platform/file_system.h"
#include "standins/hmi_substitute.h"
#include "platform/seam.h"
#include "platform/text.h"

namespace host {
namespace {

std::atomic<bool> s_bInterrupted{false};

extern "C" void OnInterrupt(int)
{
    s_bInterrupted.store(true);
}

// Interrupts arrive as signals, which cannot notify a condition variable: the wait looks at the
// flag this often.
constexpr std::chrono::milliseconds kInterruptPoll{50};

}  // namespace

void HostRun::CatchInterrupts()
{
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
}

void HostRun::CycleCompleted()
{
    {
        std::lock_guard<std::mutex> l_Lock(m_Mutex);
        ++m_nCycles;
    }
    m_Changed.notify_all();
}

void HostRun::StartUpFailed(const std::wstring& p_strMessage)
{
    {
        std::lock_guard<std::mutex> l_Lock(m_Mutex);
        m_Failure = p_strMessage;
    }
    m_Changed.notify_all();
}

RunEnd HostRun::WaitForEnd(const HostOptions& p_Options)
{
    const auto l_Start = std::chrono::steady_clock::now();
    std::optional<std::chrono::steady_clock::time_point> l_Deadline;
    if (p_Options.m_Seconds) {
        l_Deadline = l_Start + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                   std::chrono::duration<double>(*p_Options.m_Seconds));
    }
    std::unique_lock<std::mutex> l_Lock(m_Mutex);
    for (;;) {
        if (m_Failure) {
            return RunEnd::StartUpFailure;
        }
        if (p_Options.m_Cycles && m_nCycles >= *p_Options.m_Cycles) {
            return RunEnd::CyclesDone;
        }
        if (s_bInterrupted.load()) {
            return RunEnd::Interrupted;
        }
        const auto l_Now = std::chrono::steady_clock::now();
        if (l_Deadline && l_Now >= *l_Deadline) {
            return RunEnd::TimeUp;
        }
        auto l_Until = l_Now + kInterruptPoll;
        if (l_Deadline && *l_Deadline < l_Until) {
            l_Until = *l_Deadline;
        }
        m_Changed.wait_until(l_Lock, l_Until);
    }
}

std::optional<std::wstring> HostRun::Failure()
{
    std::lock_guard<std::mutex> l_Lock(m_Mutex);
    return m_Failure;
}

void ReportFailure(const std::wstring& p_strMessage)
{
    const std::string l_strText = platform::WideToAnsi(p_strMessage) + "\n";
    std::fwrite(l_strText.data(), 1, l_strText.size(), stderr);
    std::fflush(stderr);
}

void ReportStartUpFailure(const std::wstring& p_strMessage)
{
    ReportFailure(p_strMessage);
    const std::string l_strLine =
        "vexa-host: the monitor did not start: " + ExplainStartUpFailure(p_strMessage) + "\n";
    std::fwrite(l_strLine.data(), 1, l_strLine.size(), stderr);
    std::fflush(stderr);
}

int CheckCycleOutcome(std::uint64_t p_nCycles, std::uint64_t p_nFailed,
                      const std::wstring& p_strFirstFailure)
{
    if (p_nCycles == 0 || p_nFailed < p_nCycles) {
        return 0;
    }
    ReportFailure(L"vexa-host: no cycle succeeded (" + std::to_wstring(p_nFailed) +
                  L" failed); the first failed: " + p_strFirstFailure);
    return kExitNoGoodCycle;
}

void ReportMissingLog()
{
    const std::wstring l_strLog = dbg::LogFilePath();
    if (!platform::Use<platform::FileSystem>().FindEntry(l_strLog)) {
        const std::string l_strText =
            "vexa-host: the monitor could not create its log " + NativeForm(l_strLog) + "\n";
        std::fwrite(l_strText.data(), 1, l_strText.size(), stderr);
        std::fflush(stderr);
    }
}

void PrintStatus(const std::string& p_strFiles, const std::string& p_strTable)
{
    std::fwrite(p_strFiles.data(), 1, p_strFiles.size(), stdout);
    std::fputs("\n", stdout);
    if (p_strTable.empty()) {
        std::fputs("vexa-host: no cycle ended, no status to show\n", stdout);
    } else {
        std::fwrite(p_strTable.data(), 1, p_strTable.size(), stdout);
    }
    std::fflush(stdout);
}

bool StdoutIsTerminal()
{
#ifdef _WIN32
    return _isatty(_fileno(stdout)) != 0;
#else
    return isatty(fileno(stdout)) != 0;
#endif
}

bool PrepareHmiRuntime(const HostOptions& p_Options, platform::SubstituteHmiRuntime& p_Hmi)
{
    if (p_Options.m_HmiVars) {
        auto l_Names = ReadHmiVariableNames(*p_Options.m_HmiVars);
        if (!l_Names) {
            std::cerr << "vexa-host: cannot read " << *p_Options.m_HmiVars << "\n";
            return false;
        }
        p_Hmi.SetKnownNames(std::move(*l_Names));
    }
    if (p_Options.m_HmiTrace && !p_Hmi.SetTraceFile(*p_Options.m_HmiTrace)) {
        std::cerr << "vexa-host: cannot write " << *p_Options.m_HmiTrace << "\n";
        return false;
    }
    return true;
}

}  // namespace host
