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

    void Update() override
    {
        try {
            m_pMonitor->Update();
        } catch (...) {
            m_Run.CycleCompleted();
            throw;
        }
    }

    void Send() override
    {
        try {
            m_pMonitor->Send();
        } catch (...) {
            m_Run.CycleCompleted();
            throw;
        }
        m_Run.CycleCompleted();
    }

private:
    std::unique_ptr<service::Monitor> m_pMonitor;
    HostRun& m_Run;
};

}  // namespace host
