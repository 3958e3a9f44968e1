#include "platform/clock.h"

#include <windows.h>

#include <ctime>

namespace platform {
namespace {

class Win32Clock final : public Clock {
public:
    std::int64_t Now() override { return static_cast<std::int64_t>(std::time(nullptr)); }
    std::int64_t Monotonic() override { return static_cast<std::int64_t>(GetTickCount64() / 1000); }
};

}  // namespace

Clock& Clock::System()
{
    static Win32Clock s_clock;
    return s_clock;
}

}  // namespace platform
