#include "settings/freshness_limits.h"

#include <optional>
#include <string>

#include "logging/log.h"
#include "platform/profile.h"
#include "platform/seam.h"
#include "settings/settings.h"

namespace {

const wchar_t kSection[] = L"Freshness";
// Beyond a century a limit means "never"; larger numbers are taken for typing errors.
constexpr std::int64_t kLargestLimit = 100LL * 366 * 24 * 3600;

// The whole number of seconds the text names, blanks around it allowed; nothing for text that
// names none. A number beyond a century stops there: it is read as kLargestLimit + 1.
std::optional<std::int64_t> ParseSeconds(const std::wstring& p_strText)
{
    const std::size_t l_nBegin = p_strText.find_first_not_of(L" \t");
    if (l_nBegin == std::wstring::npos) {
        return std::nullopt;
    }
    const std::size_t l_nEnd = p_strText.find_last_not_of(L" \t") + 1;
    std::int64_t l_nValue = 0;
    for (std::size_t i = l_nBegin; i < l_nEnd; ++i) {
        const wchar_t c = p_strText[i];
        if (c < L'0' || c > L'9') {
            return std::nullopt;
        }
        if (l_nValue <= kLargestLimit) {
            l_nValue = l_nValue * 10 + (c - L'0');
        }
    }
    return l_nValue;
}

std::int64_t ReadLimit(const wchar_t* p_strKey, std::int64_t p_nDefault)
{
    const std::wstring l_strText = platform::Use<platform::Profile>().GetString(
        kSection, p_strKey, L"", 64, GetModuleIniPath());
    if (l_strText.find_first_not_of(L" \t") == std::wstring::npos) {
        return p_nDefault;
    }
    const std::optional<std::int64_t> l_nSeconds = ParseSeconds(l_strText);
    if (l_nSeconds && *l_nSeconds <= kLargestLimit) {
        return *l_nSeconds;
    }
    dbg::LogLine(
        VEXA_LOCATION(L"ReadFreshnessLimits"), 0,
        std::wstring(kSection) + L" " + p_strKey + L" \"" + l_strText +
            (l_nSeconds ? L"\" is more than a century (" + std::to_wstring(kLargestLimit) + L" s)"
                        : std::wstring(L"\" is no number of seconds from 0 up")) +
            L"; the limit is " + std::to_wstring(p_nDefault) + L" s");
    return p_nDefault;
}

}  // namespace

FreshnessLimits ReadFreshnessLimits()
{
    const FreshnessLimits l_Defaults;
    FreshnessLimits l_Limits;
    l_Limits.sensorSeconds = ReadLimit(L"SensorSeconds", l_Defaults.sensorSeconds);
    l_Limits.diskSeconds = ReadLimit(L"DiskSeconds", l_Defaults.diskSeconds);
    return l_Limits;
}
