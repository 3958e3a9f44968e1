#pragma once

#include <functional>
#include <memory>
#include <string>

namespace service {

// The monitor's objects of one worker run: built by the start-up assembly before the first
// cycle, torn down by the destructor in the reverse order of dependence after the last.
class Monitor {
public:
    virtual ~Monitor() = default;
    // One cycle: refresh the readings, then publish them.
    virtual void Update() = 0;
    virtual void Send() = 0;
    // After every cycle, also one whose Update or Send failed: reports the cycle's outcome.
    virtual void CycleEnded(bool p_bFailed) noexcept { static_cast<void>(p_bFailed); }
    // Before CycleEnded of a failed cycle: what failed, in one line for a person.
    virtual void CycleFailed(const std::wstring& p_strReason) noexcept
    {
        static_cast<void>(p_strReason);
    }
};

// Builds a run's monitor on the worker thread; throws when the start-up fails.
using MonitorFactory = std::function<std::unique_ptr<Monitor>()>;

// The start-up assembly: sources, data list and the chosen broadcast.
std::unique_ptr<Monitor> AssembleMonitor();

}  // namespace service
