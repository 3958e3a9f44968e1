#include "platform/clock.h"

#include <ctime>

namespace platform {
namespace {

class Win32Clock final : public Clock {
public:
    std::int64_t Now() override { return static_cast<std::int64_t>(std::time(nullptr)); }
};

}  // namespace

Clock& Clock::System()
{
    static Win32Clock s_clock;
    return s_clock;
}

}  // namespace platform
