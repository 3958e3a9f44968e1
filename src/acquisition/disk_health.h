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

// Whether a counter slot holds this refresh's reading. A protocol that has no such counter marks
// its slot not applicable; it is published and rated as 0, a sound disk's count.
enum class CounterState { Unread, Read, NotApplicable };

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
    // The counters in the order of the data list's five disk fields; what each slot holds:
    // clang-format off
    //
    // | Slot | Field                        | ATA (attribute, raw value)      | NVMe (health page)  |
    // |------|------------------------------|---------------------------------|---------------------|
    // | 0    | HddLifetime                  | power-on hours (9), low 32 bits | power-on hours      |
    // | 1    | HddOfflineUncorrectable      | off-line uncorrectable (198)    | media and data      |
    // |      |                              | sectors, low 16 bits            | integrity errors    |
    // | 2    | HddReallocationCount         | reallocation events (196)       | not applicable      |
    // | 3    | HddCurrentPendingSectorCount | current pending sectors (197)   | not applicable      |
    // | 4    | ReallocatedSectorCount       | reallocated sectors (5)         | not applicable      |
    //
    // clang-format on
    // NVMe counters stop at the largest signed 32-bit value. An ATA attribute the drive lacks is
    // unread and reads 0.
    std::array<std::int32_t, kCounterCount> counters{};
    std::array<CounterState, kCounterCount> counterStates{};
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
        counterStates.fill(CounterState::Unread);
        criticalWarning.reset();
        percentageUsed.reset();
        temperature.reset();
    }
};

}  // namespace MBDataAquisition
