#include "broadcast/heartbeat.h"

#include <cstdio>
#include <ctime>

#include <boost/date_time/c_time.hpp>

#include "settings/values_file_writer.h"

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

void WriteHeartbeat(const MBDataContainer::CycleSnapshot& p_Snapshot) noexcept
{
    try {
        ValuesFileWriter::Instance().SetSection(
            kStatusSection,
            {{L"LAST_CYCLE", LocalTimeText(p_Snapshot.time)},
             {L"FAILED_CYCLES", std::to_wstring(p_Snapshot.consecutiveFailures)},
             {L"DISK_SOURCE", MBDataAquisition::NamesOf(p_Snapshot.disk.source).name},
             {L"DISK_DRIVE", std::to_wstring(p_Snapshot.disk.drive)},
             {L"SENSOR_AGE", std::to_wstring(p_Snapshot.sensorAgeSeconds)},
             {L"DISK_AGE", std::to_wstring(p_Snapshot.diskAgeSeconds)}});
    } catch (...) {
        // The heartbeat is a courtesy to the HMI: the next cycle writes it again.
    }
}

}  // namespace MBBroadcast
