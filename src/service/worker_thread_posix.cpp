#include "service/worker_thread.h"

#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <new>
#include <thread>
#include <utility>

namespace service {
namespace {

std::atomic<long> s_nLiveWorkers{0};
std::atomic<long> s_nLiveReaders{0};

// Shared by the thread and its owner: the owner may stop waiting before the body ends.
struct EndSignal {
    std::mutex m_Mutex;
    std::condition_variable m_Ended;
    bool m_bEnded = false;
};

}  // namespace

struct WorkerThread::Handle {
    std::thread m_Thread;
    std::shared_ptr<EndSignal> m_pEnd = std::make_shared<EndSignal>();
};

WorkerThread::WorkerThread(Role p_Role) : m_Role(p_Role) {}

WorkerThread::~WorkerThread()
{
    if (m_pHandle && m_pHandle->m_Thread.joinable()) {
        m_pHandle->m_Thread.detach();
    }
}

bool WorkerThread::Start(std::function<void()> body)
{
    std::unique_ptr<Handle> l_pHandle;
    try {
        l_pHandle = std::make_unique<Handle>();
    } catch (const std::bad_alloc&) {
        return false;
    }
    std::shared_ptr<EndSignal> l_pEnd = l_pHandle->m_pEnd;
    std::atomic<long>* const l_pLive = m_Role == Role::Reader ? &s_nLiveReaders : &s_nLiveWorkers;
    l_pLive->fetch_add(1);
    try {
        l_pHandle->m_Thread = std::thread([l_Body = std::move(body), l_pEnd, l_pLive]() {
            l_Body();
            {
                std::lock_guard<std::mutex> l_Lock(l_pEnd->m_Mutex);
                l_pEnd->m_bEnded = true;
            }
            l_pEnd->m_Ended.notify_all();
            l_pLive->fetch_sub(1);
        });
    } catch (const std::exception&) {
        // std::system_error without a thread, std::bad_alloc for the thread's state.
        l_pLive->fetch_sub(1);
        return false;
    }
    m_pHandle = std::move(l_pHandle);
    return true;
}

bool WorkerThread::IsStarted() const
{
    return m_pHandle != nullptr;
}

bool WorkerThread::Join(std::chrono::milliseconds timeout)
{
    if (!m_pHandle) {
        return true;
    }
    bool l_bEnded = false;
    {
        std::unique_lock<std::mutex> l_Lock(m_pHandle->m_pEnd->m_Mutex);
        l_bEnded = m_pHandle->m_pEnd->m_Ended.wait_for(
            l_Lock, timeout, [this] { return m_pHandle->m_pEnd->m_bEnded; });
    }
    // After the body has signalled, only the thread's own exit remains: joining is quick.
    if (l_bEnded) {
        m_pHandle->m_Thread.join();
    } else {
        m_pHandle->m_Thread.detach();
    }
    m_pHandle.reset();
    return l_bEnded;
}

long LiveWorkerThreads()
{
    return s_nLiveWorkers.load();
}

long LiveReaderThreads()
{
    return s_nLiveReaders.load();
}

}  // namespace service
