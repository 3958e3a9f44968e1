#include "broadcast/heartbeat.h"

#include <cstdio>
#include <ctime>

#include <boost/date_time/c_time.hpp>

#include "platform/profile.h"
#include "platform/seam.h"
#include "settings/settings.h"

namespace MBBroadcast {

std::wstring LocalTimeText(std::int64_t seconds)
{
    const std::time_t time = static_cast<std::time_t>(seconds);
    std::tm local{};
    try {
        // Where the C library has no reentrant form, the result is the library's own (thread-
        // local on Windows) record, not the one passed in.
        local = *boost::date_time::c_time::localtime(&time, &local);
    } catch (...) {
        // A time the C library cannot convert: 1970-01-01 00:00:00 rather than no heartbeat.
        local = std::tm{};
        local.tm_mday = 1;
        local.tm_year = 70;
    }
    wchar_t text[32];
    std::swprintf(text, sizeof text / sizeof text[0], L"%04d-%02d-%02d %02d:%02d:%02d",
                  local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                  local.tm_min, local.tm_sec);
    return text;
}

namespace {

// Each write rewrites the whole values file: a key whose text is already there is left alone.
void WriteChanged(const std::wstring& p_strKey, const std::wstring& p_strText,
                  const std::wstring& p_strValuesFile)
{
    if (ReadIniString(kStatusSection, p_strKey, p_strValuesFile) != p_strText) {
        platform::Use<platform::Profile>().WriteString(kStatusSection, p_strKey, p_strText,
                                                       p_strValuesFile);
    }
}

}  // namespace

void WriteHeartbeat(const std::wstring& p_strValuesFile, const CycleSnapshot& p_Snapshot) noexcept
{
    try {
        WriteChanged(L"LAST_CYCLE", LocalTimeText(p_Snapshot.time), p_strValuesFile);
        WriteChanged(L"FAILED_CYCLES", std::to_wstring(p_Snapshot.consecutiveFailures),
                     p_strValuesFile);
        WriteChanged(L"DISK_SOURCE", DiskSourceName(p_Snapshot.diskSource), p_strValuesFile);
    } catch (...) {
        // The heartbeat is a courtesy to the HMI: the next cycle writes it again.
    }
}

}  // namespace MBBroadcast
