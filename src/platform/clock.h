#pragma once

#include <chrono>
#include <cstdint>

namespace platform {

// Wall-clock seconds since the epoch (time()) for time stamps, and seconds on a clock that no
// correction moves for how long something took. Tests put a fake clock in place.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::int64_t Now() = 0;
    // Seconds since an arbitrary start that never step back or jump when the wall clock is set
    // (the system's steady clock). A clock that only moves forward by itself, as a simulated one
    // does, may keep the default: its own time.
    virtual std::int64_t Monotonic() { return Now(); }
    // The real time to wait for a pause of `pause` on this clock: all of it on the system's
    // clock. A simulated clock moves itself on by the pause and answers 0, so that simulated
    // days of cycles pass without waiting.
    virtual std::chrono::milliseconds RealWait(std::chrono::milliseconds pause) { return pause; }
    static Clock& System();
};

}  // namespace platform
