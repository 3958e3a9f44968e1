// vexa-host, native form: the portable monitor on the posix platform, beside the substitute HMI
// runtime and the machine's stand-ins named on the command line.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "counting_monitor.h"
#include "file_origins.h"
#include "host_options.h"
#include "host_run.h"
#include "machine_substitutes.h"
#include "simulated_days_posix.h"
#include "broadcast/last_snapshot.h"
#include "broadcast/status_table.h"
#include "standins/hmi_substitute.h"
#include "platform/message_dialog.h"
#include "platform/seam.h"
#include "service/monitor_files.h"
#include "service/monitor_runner.h"
#include "service/worker_thread.h"

namespace {

// A start-up failure's message box reaches the host instead of a desktop.
class HostMessageDialog : public platform::MessageDialog {
public:
    explicit HostMessageDialog(host::HostRun& p_Run) : m_Run(p_Run) {}
    void Show(const std::wstring& text, const std::wstring&) override { m_Run.StartUpFailed(text); }

private:
    host::HostRun& m_Run;
};

// Waits for the worker's real end (its tear-down included), at most `p_Timeout`.
bool WaitForWorker(std::chrono::seconds p_Timeout)
{
    const auto l_Deadline = std::chrono::steady_clock::now() + p_Timeout;
    while (service::LiveWorkerThreads() != 0) {
        if (std::chrono::steady_clock::now() > l_Deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

int Run(host::HostOptions p_Options)
{
    host::HostRun l_Run;
    HostMessageDialog l_Dialog(l_Run);
    platform::Substitute<platform::MessageDialog> l_DialogSubstitute(l_Dialog);

    platform::SubstituteHmiRuntime l_Hmi;
    if (!host::PrepareHmiRuntime(p_Options, l_Hmi)) {
        return 1;
    }
    l_Hmi.SetRunning(!p_Options.m_bNoHmiRuntime);
    platform::Substitute<platform::HmiRuntime> l_HmiSubstitute(l_Hmi);

    std::string l_strError;
    std::unique_ptr<host::MachineSubstitutes> l_pMachine =
        host::MachineSubstitutes::Install(p_Options, l_strError);
    if (!l_pMachine) {
        std::cerr << "vexa-host: " << l_strError << "\n";
        return 1;
    }

    host::WarnAboutSettings(service::ListMonitorFiles());

    std::unique_ptr<host::SimulatedDays> l_pDays;
    if (p_Options.m_SimulateDays) {
        l_pDays = std::make_unique<host::SimulatedDays>(
            *p_Options.m_SimulateDays, p_Options.m_WearPerDay, p_Options.m_SmartDir);
        l_pDays->Begin();
        p_Options.m_Cycles = l_pDays->Cycles();
    }

    host::HostRun::CatchInterrupts();
    host::RunEnd l_End;
    {
        CMain l_Main([&l_Run, &l_pDays]() -> std::unique_ptr<service::Monitor> {
            return std::make_unique<host::CountingMonitor>(
                service::AssembleMonitor(), l_Run,
                l_pDays ? [l_pDays = l_pDays.get()] { l_pDays->CycleCompleted(); }
                        : std::function<void()>());
        });
        l_Main.Start();
        l_End = l_Run.WaitForEnd(p_Options);
    }
    if (l_End == host::RunEnd::StartUpFailure) {
        host::ReportStartUpFailure(*l_Run.Failure());
    }
    const bool l_bStopped = WaitForWorker(std::chrono::seconds(30));
    // A start-up failure fails the run whenever the monitor reported it: also when the time ran
    // out or Ctrl-C came first and the worker reported it while it stopped.
    const std::optional<std::wstring> l_Failure = l_Run.Failure();
    if (l_Failure && l_End != host::RunEnd::StartUpFailure) {
        host::ReportStartUpFailure(*l_Failure);
    }
    const std::optional<MBDataContainer::CycleSnapshot> l_Snapshot = MBBroadcast::LastSnapshot();
    int l_nExitCode = l_Failure ? 2 : 0;
    if (!l_Failure && l_Snapshot) {
        l_nExitCode = host::CheckCycleOutcome(l_Snapshot->cycles, l_Snapshot->failedCycles,
                                              l_Snapshot->firstFailure);
    }
    if (!l_bStopped) {
        // The substitutes must outlive the worker: leave without destroying them.
        std::cerr << "vexa-host: the monitor did not stop\n";
        std::fflush(nullptr);
        std::_Exit(l_nExitCode == 0 ? 3 : l_nExitCode);
    }
    host::ReportMissingLog();
    if (l_pDays) {
        l_pDays->PrintSummary();
    }
    if (p_Options.m_bStatus) {
        host::PrintStatus(
            host::RenderFileOrigins(service::ListMonitorFiles()),
            l_Snapshot ? MBBroadcast::RenderStatusTable(*l_Snapshot, host::StdoutIsTerminal())
                       : std::string());
    }
    if (service::LiveReaderThreads() != 0) {
        // A read that still hangs (a drive that does not answer) reads through the substitutes:
        // leave without destroying them. The worker has ended; nothing more is published.
        std::fflush(nullptr);
        std::_Exit(l_nExitCode);
    }
    return l_nExitCode;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::optional<host::HostOptions> l_Options = host::ParseCommandLine(argc, argv);
    if (!l_Options) {
        return 1;
    }
    if (l_Options->m_bHelp) {
        std::cout << host::Usage();
        return 0;
    }
    return Run(*l_Options);
}
