#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "acquisition/disk_health.h"
#include "data/days_left.h"
#include "data/rating.h"

namespace MBDataContainer {

// One field as the broadcast rated it in a cycle.
struct FieldSnapshot {
    std::wstring name;
    // The field's kind: "fan", "temperature", "voltage", "cmos_battery", "ups_battery",
    // "disk_lifetime", "disk_events", "disk_critical_warning", "disk_limit" or "disk_days_left".
    std::wstring kind;
    std::int32_t value = 0;
    std::int32_t setpoint = 0;
    Rating rating = RatingNone;
    // The readings that rate warning and error, for a person ("< 2880", "> 66"); empty where
    // the field has no such band.
    std::wstring warningBand;
    std::wstring errorBand;
};

// One group digit of the values file's current-state section.
struct GroupSnapshot {
    std::wstring name;  // the key: "IPC_FANS", ..., "UPS_WORKING"
    Rating rating = RatingNone;
};

// What one cycle of the monitor produced, built once after the cycle and read by everything that
// reports it (metrics file, heartbeat, status table); none of them rates anything again. A failed
// cycle keeps the fields and groups of the last rating and counts the failure. It belongs to the
// data layer: the publishers learn of the disk through it, never from the disk source.
struct CycleSnapshot {
    std::vector<FieldSnapshot> fields;
    std::vector<GroupSnapshot> groups;
    std::int32_t upsStateOfCharge = 0;
    // The UPS service's status key existed at the last read; without it the UPS group rates error
    // as the HMI projects expect, and the fleet's alerts leave that error alone.
    bool upsPresent = false;
    // "SpeedFan" or "probe".
    std::wstring sensorSource;
    // The system disk's record of the cycle: what answered for it (its `source`), its drive
    // number, the way it was read, its device descriptor.
    MBDataAquisition::DiskHealth disk;
    // The drive record's forecast of the system disk's days left, and the day the disk was first
    // seen (nothing before its first reading).
    DaysLeftForecast daysLeft;
    std::optional<RecordDay> diskFirstSeen;
    // A password of the administrator is configured but its logon failed: the disks are read with
    // the rights of the runtime's own account.
    bool diskLogonFailed = false;
    // Wall-clock seconds since 1970 at the end of the cycle.
    std::int64_t time = 0;
    // Cycles and failed cycles since the worker started; failed cycles in a row up to this one.
    std::uint64_t cycles = 0;
    std::uint64_t failedCycles = 0;
    std::uint64_t consecutiveFailures = 0;
    // Why the run's first failed cycle failed, in one line; empty while none has failed.
    std::wstring firstFailure;
    // The pause between cycles in use, after clamping.
    std::int64_t cycleIntervalMs = 0;
    // Seconds for which the sensor source's data have not changed and since the last read of the
    // system disk; a stale source's groups show at least a warning.
    std::int64_t sensorAgeSeconds = 0;
    std::int64_t diskAgeSeconds = 0;
    bool sensorsStale = false;
    bool diskStale = false;
    bool diskNeverRead = false;  // no refresh has read the system disk since the start
    // A source whose read had not ended by the cycle's deadline, and for how many whole seconds
    // that read has run; its groups show at least a warning.
    bool sensorsBlocked = false;
    bool diskBlocked = false;
    std::int64_t sensorBlockedSeconds = 0;
    std::int64_t diskBlockedSeconds = 0;
};

// The forecast for a person: "80 (basis wear, wear 60 %)", "1429 (basis hours)", or "not enough
// data (3 of 14 days)".
std::wstring DaysLeftText(const DaysLeftForecast& forecast);

// How the system disk was read, for a person: "with administrator rights", "without
// administrator rights", "hidden by a RAID controller" or "not read".
const wchar_t* DiskReadWay(const MBDataAquisition::DiskHealth& disk);

}  // namespace MBDataContainer
