#pragma once

#include <chrono>
#include <functional>
#include <memory>

namespace service {

// The one operating-system thread of a worker. The body runs on its own thread; Join waits a
// bounded time for it and never blocks longer, so a stop call stays short even when the body is
// still busy. A thread that outlives Join runs on detached; the body must own (share) everything
// it touches. On Windows the thread joins COM's multithreaded apartment for its life and keeps
// its module loaded until its last instruction.
class WorkerThread {
public:
    // A reader thread (a read beside the cycle that may hang) is counted apart from the workers:
    // a host waits for its worker to end, never for a hung read.
    enum class Role { Worker, Reader };

    explicit WorkerThread(Role p_Role = Role::Worker);
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Creates the thread running `body`; false (and nothing running) when creation fails, for
    // lack of memory too.
    bool Start(std::function<void()> body);

    // Whether Start created a thread that has not been released by Join yet.
    bool IsStarted() const;

    // Waits at most `timeout` for the body to end, then releases the thread: joined (handle
    // closed) when it has ended, detached otherwise. True when it has ended.
    bool Join(std::chrono::milliseconds timeout);

private:
    struct Handle;
    std::unique_ptr<Handle> m_pHandle;
    Role m_Role;
};

// Number of worker threads, and of reader threads, whose code has not finished yet,
// process-wide. The module may be unloaded only while both are 0.
long LiveWorkerThreads();
long LiveReaderThreads();

}  // namespace service
