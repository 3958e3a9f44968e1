#include "settings/read_timeout.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "logging/log.h"
#include "platform/profile.h"
#include "platform/seam.h"
#include "settings/settings.h"
#include "settings/whole_number.h"

namespace {

// Above an hour (the longest cycle pause) a timeout makes no difference.
constexpr std::int64_t kLargestTimeout = 3600000;

}  // namespace

std::chrono::milliseconds ReadReadTimeout(std::chrono::milliseconds p_CyclePause)
{
    const std::wstring l_strText = platform::Use<platform::Profile>().GetString(
        L"Timer", L"ReadTimeout", L"", 64, GetModuleIniPath());
    std::chrono::milliseconds l_Timeout = kDefaultReadTimeout;
    if (l_strText.find_first_not_of(L" \t") != std::wstring::npos) {
        const std::int64_t l_nMilliseconds =
            ParseWholeNumber(l_strText, kLargestTimeout).value_or(0);
        if (l_nMilliseconds > 0) {
            l_Timeout = std::chrono::milliseconds(l_nMilliseconds);
        } else {
            dbg::LogLine(VEXA_LOCATION(L"ReadReadTimeout"), 0,
                         L"Timer ReadTimeout \"" + l_strText +
                             L"\" is no number of milliseconds from 1 up; the timeout is " +
                             std::to_wstring(kDefaultReadTimeout.count()) + L" ms");
        }
    }
    return std::min(l_Timeout, p_CyclePause);
}
