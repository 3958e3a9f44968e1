#pragma once

#include "acquisition/disk_health.h"
#include "acquisition/smart_reader.h"

#include <array>
#include <cstdint>
#include <string>

namespace MBDataAquisition {

// The disk source: the S.M.A.R.T. reader plus the health record of the system disk, which the data
// list copies into its disk fields after every Update. The record is what the system disk's
// protocol reader gave, with the drive's descriptor added; nothing outside this class asks which
// protocol it was.
class Harddisk : public diag::SmartReader {
public:
    // Chooses the system disk (logged at level 0) and reads the drives once; throws as the
    // reader's constructor does.
    Harddisk(const std::wstring& p_strUser, const wchar_t* p_pPassword);

    // Re-reads the drives and takes the system disk's record. A failed read is logged and keeps
    // the previous counters. Never throws.
    void Update() noexcept;

    // The system disk's record of the last Update (all zero before it); its `source` is the one
    // answer to whether this Update read the drive. A failed refresh keeps the counters of the
    // one before, as not this cycle's.
    const DiskHealth& Health() const noexcept;
    // The health readings the system disk provided when the source was made.
    DiskHealthReadings Provides() const noexcept;

private:
    // The system disk gave no attribute table or page at the last update: its loss and its
    // return are logged once each, not every cycle.
    bool m_bDriveMissing = false;
    // The last refresh failed: a failure that persists is logged once, not every cycle.
    bool m_bRefreshFailed = false;
    // The counter's attribute was missing from the system disk's table at the last update that
    // read one.
    std::array<bool, DiskHealth::kCounterCount> m_bAttributeMissing{};
    DiskHealth m_Health;
    DiskHealthReadings m_Provides;
    std::wstring m_strLoggedSource;  // the source line the log last wrote

    // Logs an ATA counter's attribute that went missing, once until it is back, and its return.
    void NoteMissingAttributes(const DiskHealth& p_Read) noexcept;
    // The reader's record of the system disk with the drive and its descriptor's fields.
    DiskHealth Compose() const;
    // Logs the source when the log has not named it yet or it changed.
    void NoteSource(DiskSource p_Source) noexcept;
};

}  // namespace MBDataAquisition
