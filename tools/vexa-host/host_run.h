#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

#include "host_options.h"

namespace platform {
class SubstituteHmiRuntime;
}

namespace host {

// Why a host run ended.
enum class RunEnd { Interrupted, TimeUp, CyclesDone, StartUpFailure };

// What the monitor reports to the host while it runs, and the host's wait for the end of a run:
// the time of --seconds, the cycles of --cycles, an interrupt (Ctrl-C), or a start-up failure.
class HostRun {
public:
    // Catches Ctrl-C (and termination requests) for the life of the process.
    static void CatchInterrupts();

    // A pass of the monitor's cycle has ended.
    void CycleCompleted();
    // The monitor showed its start-up failure message.
    void StartUpFailed(const std::wstring& p_strMessage);

    RunEnd WaitForEnd(const HostOptions& p_Options);

    std::optional<std::wstring> Failure();

private:
    std::mutex m_Mutex;
    std::condition_variable m_Changed;
    long m_nCycles = 0;
    std::optional<std::wstring> m_Failure;
};

// Writes the failure text to standard error as the monitor showed it.
void ReportFailure(const std::wstring& p_strMessage);

// Writes a start-up failure to standard error: the monitor's text, then a line with its cause
// and fix.
void ReportStartUpFailure(const std::wstring& p_strMessage);

// Exit status of a run in which cycles ran but none succeeded.
inline constexpr int kExitNoGoodCycle = 4;

// After a run without start-up failure: when cycles ended and every one failed, says so on
// standard error with the first failure's reason and gives kExitNoGoodCycle; else 0.
int CheckCycleOutcome(std::uint64_t p_nCycles, std::uint64_t p_nFailed,
                      const std::wstring& p_strFirstFailure);

// After a run: the monitor stays silent when it cannot create its log (dbg::LogFilePath), so
// the host says so on standard error.
void ReportMissingLog();

// Writes --status to standard output: the files the monitor uses, then the status table; an
// empty table says that no cycle ended.
void PrintStatus(const std::string& p_strFiles, const std::string& p_strTable);

// Whether standard output is a terminal (colour is only for a person at one).
bool StdoutIsTerminal();

// Gives the substitute runtime the names of --hmi-vars and the trace file of --hmi-trace; false,
// with the reason on standard error, when either file cannot be used.
bool PrepareHmiRuntime(const HostOptions& p_Options, platform::SubstituteHmiRuntime& p_Hmi);

}  // namespace host
