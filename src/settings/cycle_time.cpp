#include "settings/cycle_time.h"

#include <algorithm>

#include "settings/settings.h"

namespace {

constexpr std::int64_t kDefaultCycleTime = 10000;

}  // namespace

CycleTime ReadCycleTime()
{
    CycleTime l_CycleTime;
    const std::wstring l_strFile = GetModuleIniPath();
    l_CycleTime.setting = ReadIniSignedInt(L"Timer", L"CycleTime", kDefaultCycleTime, l_strFile);
    l_CycleTime.text = ReadIniString(L"Timer", L"CycleTime", l_strFile);
    l_CycleTime.pause = std::chrono::milliseconds(
        std::clamp(l_CycleTime.setting, kMinimumCycleTime, kMaximumCycleTime));
    return l_CycleTime;
}
