#include "settings/read_timeout.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "logging/log.h"
#include "platform/profile.h"
#include "platform/seam.h"
#include "settings/settings.h"

namespace {

// Above an hour (the longest cycle pause) a timeout makes no difference.
constexpr std::int64_t kLargestTimeout = 3600000;

// The whole number of milliseconds, blanks around it allowed; 0 for text that names none.
std::int64_t ParseMilliseconds(const std::wstring& p_strText)
{
    const std::size_t l_nBegin = p_strText.find_first_not_of(L" \t");
    const std::size_t l_nEnd = p_strText.find_last_not_of(L" \t") + 1;
    std::int64_t l_nValue = 0;
    for (std::size_t i = l_nBegin; i < l_nEnd; ++i) {
        const wchar_t c = p_strText[i];
        if (c < L'0' || c > L'9') {
            return 0;
        }
        l_nValue = std::min(l_nValue * 10 + (c - L'0'), kLargestTimeout + 1);
    }
    return l_nValue;
}

}  // namespace

std::chrono::milliseconds ReadReadTimeout(std::chrono::milliseconds p_CyclePause)
{
    const std::wstring l_strText = platform::Use<platform::Profile>().GetString(
        L"Timer", L"ReadTimeout", L"", 64, GetModuleIniPath());
    std::chrono::milliseconds l_Timeout = kDefaultReadTimeout;
    if (l_strText.find_first_not_of(L" \t") != std::wstring::npos) {
        const std::int64_t l_nMilliseconds = ParseMilliseconds(l_strText);
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
