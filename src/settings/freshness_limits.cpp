#include "settings/freshness_limits.h"

#include <optional>
#include <string>

#include "logging/log.h"
#include "platform/profile.h"
#include "platform/seam.h"
#include "settings/settings.h"
#include "settings/whole_number.h"

namespace {

const wchar_t kSection[] = L"Freshness";
// Beyond a century a limit means "never"; larger numbers are taken for typing errors.
constexpr std::int64_t kLargestLimit = 100LL * 366 * 24 * 3600;

std::int64_t ReadLimit(const wchar_t* p_strKey, std::int64_t p_nDefault)
{
    const std::wstring l_strText = platform::Use<platform::Profile>().GetString(
        kSection, p_strKey, L"", 64, GetModuleIniPath());
    if (l_strText.find_first_not_of(L" \t") == std::wstring::npos) {
        return p_nDefault;
    }
    const std::optional<std::int64_t> l_nSeconds = ParseWholeNumber(l_strText, kLargestLimit);
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
