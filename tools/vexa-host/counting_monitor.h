#pragma once

#include <functional>
#include <memory>

#include "host_run.h"
#include "service/monitor.h"

namespace host {

// The real monitor, with every finished pass of its cycle reported to the host (and, when
// given, to `p_OnCycle` first).
class CountingMonitor : public service::Monitor {
public:
    CountingMonitor(std::unique_ptr<service::Monitor> p_pMonitor, HostRun& p_Run,
                    std::function<void()> p_OnCycle = {})
        : m_pMonitor(std::move(p_pMonitor)), m_Run(p_Run), m_OnCycle(std::move(p_OnCycle))
    {
    }

    void Update() override { m_pMonitor->Update(); }
    void Send() override { m_pMonitor->Send(); }

    void CycleFailed(const std::wstring& p_strReason) noexcept override
    {
        m_pMonitor->CycleFailed(p_strReason);
    }

    // Counted once the monitor has reported the cycle, so that a run that stops after N cycles
    // finds the N-th cycle's snapshot.
    void CycleEnded(bool p_bFailed) noexcept override
    {
        m_pMonitor->CycleEnded(p_bFailed);
        if (m_OnCycle) {
            m_OnCycle();
        }
        m_Run.CycleCompleted();
    }

private:
    std::unique_ptr<service::Monitor> m_pMonitor;
    HostRun& m_Run;
    std::function<void()> m_OnCycle;
};

}  // namespace host
