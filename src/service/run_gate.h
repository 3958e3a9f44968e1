#pragma once

#include <functional>

namespace service {

// Held by a worker for its whole run. A worker can outlive its owner's bounded stop wait, still
// busy with an update, a send or the tear-down's HMI calls; the log, the sensor names, the values
// file and its counters are shared by every run without locks, so the next run starts only
// once that worker has finished.
class RunGate {
public:
    // Waits until no other run holds the gate and takes it, unless `p_StopRequested` returns
    // true first; it is asked again every few milliseconds while the wait lasts.
    explicit RunGate(const std::function<bool()>& p_StopRequested);
    ~RunGate();
    RunGate(const RunGate&) = delete;
    RunGate& operator=(const RunGate&) = delete;

    bool IsHeld() const { return m_bHeld; }

    // Lets the next run start before this object ends; nothing if not held.
    void Leave();

private:
    bool m_bHeld = false;
};

}  // namespace service
