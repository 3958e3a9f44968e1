#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "data/drive_record.h"

namespace MBDataContainer {

// What the record takes from a refresh that read the system disk.
struct DriveReading {
    std::wstring model;
    std::wstring serial;
    std::int64_t powerOnHours = 0;
    std::optional<std::int32_t> percentageUsed;
    std::array<std::int32_t, RecordedDay::kSectorCounterCount> sectorCounters{};
    std::optional<std::int32_t> temperature;
};

// The drive record kept across restarts: loaded once, brought up to date with every reading of
// the system disk, and written whole (temporary file and replace) when a day begins, when a
// counter or the percentage used changes, and when another drive appears; so at most once a day
// on a sound drive. A file that is cut or garbled is logged once, kept beside as "<path>.bad",
// and a new record begins. A file that exists but cannot be read turns the file off for the run,
// so that it is not overwritten. With no path the record lives in memory for the run alone.
// Used by the worker thread alone; nothing here throws but std::bad_alloc.
class DriveRecordKeeper {
public:
    explicit DriveRecordKeeper(std::wstring p_strPath);

    // Takes the reading at `p_nNow` (seconds since 1970) into today's line of the system disk. A
    // serial number other than the system disk's last one starts that drive's history (or
    // continues it, for a drive seen before) and logs "System disk replaced: ..." at level 0; a
    // reading without a serial number counts for the drive recorded last.
    void Observe(const DriveReading& p_Reading, std::int64_t p_nNow);

    // The system disk's history; nothing before the first reading of a run or a record.
    const DriveHistory* Current() const;
    const DriveRecord& Record() const { return m_Record; }

private:
    void Load();
    void Write(std::int64_t p_nNow);

    std::wstring m_strPath;
    DriveRecord m_Record;
    // The drive whose days are being recorded: the last of the record once a reading was taken.
    bool m_bCurrentKnown = false;
    // A write is due; after a failed one, it is tried again at m_nRetryAt.
    bool m_bDue = false;
    std::int64_t m_nRetryAt = 0;
    bool m_bFailing = false;
};

// "[HDD] RecordFile" of the add-on's own settings file; when absent, "VexaDriveRecord.txt" beside
// the values file. An empty value turns the file off.
std::wstring ReadDriveRecordPath();

}  // namespace MBDataContainer
