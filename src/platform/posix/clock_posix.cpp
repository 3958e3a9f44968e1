#include "platform/clock.h"

#include <chrono>

namespace platform {
namespace {

class PosixClock final : public Clock {
public:
    std::int64_t Now() override
    {
        return std::chrono::duration_cast<std::chrono::seconds>(
                   std::chrono::system_clock::now().time_since_epoch())
            .count();
    }
    std::int64_t Monotonic() override
    {
        return std::chrono::duration_cast<std::chrono::seconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
};

}  // namespace

Clock& Clock::System()
{
    static PosixClock s_clock;
    return s_clock;
}

}  // namespace platform
