#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace service {

// A read that can hang (a failing drive stalls every command for minutes, a share can hang) run
// beside the cycle on a thread of its own, which the cycle waits for only until a deadline. No
// second read starts while one still runs; when a hung read returns, its result is the next
// cycle's. A read that stays away past a deadline, and its return, are logged once each
// (level 0). The owner never waits for a read that still runs, also not when it goes: the read
// must own (share) everything it touches, and the thread keeps the module loaded while it runs.
class BoundedRead {
public:
    using Clock = std::chrono::steady_clock;

    // `p_strName` names the source in the log ("Drive 0"); `p_Read` is the read, run on the
    // reader thread; what it throws reaches the cycle through Wait.
    BoundedRead(std::wstring p_strName, std::function<void()> p_Read);
    ~BoundedRead();
    BoundedRead(const BoundedRead&) = delete;
    BoundedRead& operator=(const BoundedRead&) = delete;

    // Starts a read unless the last one has not been waited for to its end. Throws
    // std::runtime_error when no thread can be made.
    void Begin();
    // Waits for the read until `p_Until`: true when it has ended (in time or late; rethrows what it
    // threw), false while it still runs; the source is then blocked.
    bool Wait(Clock::time_point p_Until);

    bool IsBlocked() const { return m_bBlocked; }
    // Whole seconds since the read that still runs began; 0 when none is blocked.
    std::int64_t BlockedSeconds() const;
    // Reads begun so far.
    std::uint64_t Reads() const { return m_nReads; }

private:
    struct State;

    std::wstring m_strName;
    std::function<void()> m_Read;
    std::shared_ptr<State> m_pRunning;  // the read begun and not yet waited for to its end
    Clock::time_point m_Began;
    bool m_bBlocked = false;
    std::uint64_t m_nReads = 0;
};

}  // namespace service
