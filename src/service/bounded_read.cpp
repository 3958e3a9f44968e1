#include "service/bounded_read.h"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <stdexcept>
#include <utility>

#include "logging/log.h"
#include "service/worker_thread.h"

namespace service {
namespace {

const wchar_t kWait[] = L"service::BoundedRead::Wait";

std::int64_t SecondsSince(BoundedRead::Clock::time_point p_Then)
{
    return std::chrono::duration_cast<std::chrono::seconds>(BoundedRead::Clock::now() - p_Then)
        .count();
}

// Rounded up: a read that missed a deadline of 0.2 s has not answered for 1 s, not for 0 s.
std::int64_t SecondsUpSince(BoundedRead::Clock::time_point p_Then)
{
    const auto l_Elapsed = BoundedRead::Clock::now() - p_Then;
    return std::chrono::duration_cast<std::chrono::seconds>(l_Elapsed + std::chrono::seconds(1) -
                                                            std::chrono::nanoseconds(1))
        .count();
}

}  // namespace

// Shared by the owner and the reader thread, which may outlive the owner.
struct BoundedRead::State {
    std::mutex m_Mutex;
    std::condition_variable m_Ended;
    bool m_bEnded = false;
    std::exception_ptr m_pError;
};

BoundedRead::BoundedRead(std::wstring p_strName, std::function<void()> p_Read)
    : m_strName(std::move(p_strName)), m_Read(std::move(p_Read))
{
}

BoundedRead::~BoundedRead() = default;

void BoundedRead::Begin()
{
    if (m_pRunning) {
        return;
    }
    auto l_pState = std::make_shared<State>();
    WorkerThread l_Thread(WorkerThread::Role::Reader);
    const bool l_bStarted = l_Thread.Start([l_pState, l_Read = m_Read]() {
        std::exception_ptr l_pError;
        try {
            l_Read();
        } catch (...) {
            l_pError = std::current_exception();
        }
        {
            const std::lock_guard<std::mutex> l_Lock(l_pState->m_Mutex);
            l_pState->m_pError = l_pError;
            l_pState->m_bEnded = true;
        }
        l_pState->m_Ended.notify_all();
    });
    if (!l_bStarted) {
        throw std::runtime_error("No reader thread");
    }
    // The thread runs on by itself; the state tells when it has ended.
    l_Thread.Join(std::chrono::milliseconds(0));
    m_pRunning = std::move(l_pState);
    m_Began = Clock::now();
    ++m_nReads;
}

bool BoundedRead::Wait(Clock::time_point p_Until)
{
    if (!m_pRunning) {
        return true;
    }
    std::exception_ptr l_pError;
    {
        std::unique_lock<std::mutex> l_Lock(m_pRunning->m_Mutex);
        if (!m_pRunning->m_Ended.wait_until(l_Lock, p_Until,
                                            [this] { return m_pRunning->m_bEnded; })) {
            l_Lock.unlock();
            if (!m_bBlocked) {
                m_bBlocked = true;
                dbg::LogLine(VEXA_LOCATION(kWait), 0,
                             m_strName + L" has not answered for " +
                                 std::to_wstring(SecondsUpSince(m_Began)) + L" s");
            }
            return false;
        }
        l_pError = m_pRunning->m_pError;
    }
    m_pRunning.reset();
    if (m_bBlocked) {
        m_bBlocked = false;
        dbg::LogLine(
            VEXA_LOCATION(kWait), 0,
            m_strName + L" answered again after " + std::to_wstring(SecondsSince(m_Began)) + L" s");
    }
    if (l_pError) {
        std::rethrow_exception(l_pError);
    }
    return true;
}

std::int64_t BoundedRead::BlockedSeconds() const
{
    return m_bBlocked ? SecondsSince(m_Began) : 0;
}

}  // namespace service
