#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "acquisition/disk_source.h"

namespace MBDataAquisition {

// How the system disk was read: with the drive opened for reading and writing (which needs
// administrator rights), or through the queries Windows answers on a handle opened without access.
enum class DiskAccess { ReadWrite, WithoutRights };

// Which of the three health readings the system disk provides. Decided at attach: the data list
// creates a field for each one provided.
struct DiskHealthReadings {
    bool criticalWarning = false;
    bool percentageUsed = false;
    bool temperature = false;
};

// What the disk source knows of the system disk after a refresh, whatever protocol answered
// (ATA attributes, the NVMe health page, the queries without rights). Everything that reports the
// disk (data list, broadcasts, metrics, status table) reads this record alone.
struct DiskHealth {
    static constexpr std::size_t kCounterCount = 5;

    // The physical drive number of the system disk.
    std::uint32_t drive = 0;
    // What answered the last refresh; None when this refresh did not read the drive (a failed
    // refresh, or a drive that gave no table or page): the one place that tells whether the
    // readings below are this cycle's.
    DiskSource source = DiskSource::None;
    DiskAccess access = DiskAccess::ReadWrite;
    // Power-on hours, off-line uncorrectable sectors, reallocation events, current pending
    // sectors, reallocated sectors: the order of the data list's five disk fields. An NVMe drive
    // gives power-on hours and media errors in the first two; it has no sector counters.
    // Power-on hours hold 32 bits (NVMe: up to the largest signed value), the ATA sector counters
    // the low 16 bits of their raw values.
    std::array<std::int32_t, kCounterCount> counters{};
    // The three readings below hold a value only when this refresh gave it. The drive's own verdict
    // as bits (NVMe: the critical warning byte; ATA: bit 0 the drive reports a threshold exceeded,
    // bit 1 a pre-failure attribute at or below its threshold).
    std::optional<std::int32_t> criticalWarning;
    // Percentage of the rated life used; may exceed 100.
    std::optional<std::int32_t> percentageUsed;
    // Degrees Celsius.
    std::optional<std::int32_t> temperature;
    // From the drive's device descriptor (bus type 0 and empty texts when it gave none).
    std::uint32_t busType = 0;
    std::wstring model;
    std::wstring serial;
    // A RAID controller hides the drive: its device descriptor names a RAID bus.
    bool hiddenByRaid = false;

    // The counters keep their values as not this cycle's; the three health readings are unread.
    void ForgetReadings() noexcept
    {
        source = DiskSource::None;
        criticalWarning.reset();
        percentageUsed.reset();
        temperature.reset();
    }
};

}  // namespace MBDataAquisition
