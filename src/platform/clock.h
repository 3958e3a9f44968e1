#pragma once

#include <cstdint>

namespace platform {

// Wall-clock seconds since the epoch (time()). Tests put a fake clock in place.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::int64_t Now() = 0;
    static Clock& System();
};

}  // namespace platform
