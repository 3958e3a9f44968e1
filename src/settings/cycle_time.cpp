#include "settings/cycle_time.h"

#include <algorithm>

#include "settings/settings.h"

namespace {

constexpr std::int64_t kDefaultCycleTime = 10000;

}  // namespace

CycleTime ReadCycleTime()
{
    CycleTime l_CycleTime;
    l_CycleTime.setting =
        ReadIniSignedInt(L"Timer", L"CycleTime", kDefaultCycleTime, GetModuleIniPath());
    l_CycleTime.pause = std::chrono::milliseconds(
        std::clamp(l_CycleTime.setting, kMinimumCycleTime, kMaximumCycleTime));
    return l_CycleTime;
}
