#pragma once

#include <memory>

#include "host_run.h"
#include "service/monitor.h"

namespace host {

// The real monitor, with every finished pass of its cycle reported to the host.
class CountingMonitor : public service::Monitor {
public:
    CountingMonitor(std::unique_ptr<service::Monitor> p_pMonitor, HostRun& p_Run)
        : m_pMonitor(std::move(p_pMonitor)), m_Run(p_Run)
    {
    }

    void Update() override { m_pMonitor->Update(); }
    void Send() override { m_pMonitor->Send(); }

    // Counted once the monitor has reported the cycle, so that a run that stops after N cycles
    // finds the N-th cycle's snapshot.
    void CycleEnded(bool p_bFailed) noexcept override
    {
        m_pMonitor->CycleEnded(p_bFailed);
        m_Run.CycleCompleted();
    }

private:
    std::unique_ptr<service::Monitor> m_pMonitor;
    HostRun& m_Run;
};

}  // namespace host
