#pragma once

#include <chrono>
#include <cstdint>

namespace platform {

// Wall-clock seconds since the epoch (time()). Tests put a fake clock in place.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::int64_t Now() = 0;
    // The real time to wait for a pause of `pause` on this clock: all of it on the system's
    // clock. A simulated clock moves itself on by the pause and answers 0, so that simulated
    // days of cycles pass without waiting.
    virtual std::chrono::milliseconds RealWait(std::chrono::milliseconds pause) { return pause; }
    static Clock& System();
};

}  // namespace platform
