#pragma once

#include <memory>

#include "service/monitor.h"
#include "service/worker_thread.h"

// Owns the add-on's worker thread: Start runs the monitor on it, the destructor stops it.
// The destructor waits at most 1000 ms; a worker that takes longer (an update, a start-up
// message box) finishes on its own, holding its own share of everything it touches.
class CMain {
public:
    // Runs the real start-up assembly.
    CMain();
    // Runs the given assembly instead (hosts that wrap the monitor, tests).
    explicit CMain(service::MonitorFactory p_Assemble);
    virtual ~CMain();
    CMain(const CMain&) = delete;
    CMain& operator=(const CMain&) = delete;

    // Creates the worker thread; does nothing when this object already has one.
    void Start();

private:
    class Worker;

    std::shared_ptr<Worker> m_pWorker;
    service::WorkerThread m_hThread;
};
