#pragma once

#include "acquisition/disk_health.h"
#include "acquisition/smart_reader.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace MBDataAquisition {

// The disk source: the S.M.A.R.T. reader plus the health record of the system disk, which the data
// list copies into its disk fields after every Update. The record is filled from whatever answered
// for the drive (its ATA attributes, or its NVMe health page); nothing outside this class asks
// which one it was.
class Harddisk : public diag::SmartReader {
public:
    // Power-on hours, off-line uncorrectable sectors, reallocation events, current pending
    // sectors, reallocated sectors: the order of m_Attributes and of the data list's disk slots.
    static constexpr std::array<std::uint8_t, 5> kWatchedIds = {9, 198, 196, 197, 5};

    // Chooses the system disk (logged at level 0) and reads the drives once; throws as the
    // reader's constructor does.
    Harddisk(const std::wstring& p_strUser, const wchar_t* p_pPassword);

    // Re-reads the drives and copies the watched attributes. A failed read is logged and keeps
    // the previous records; an attribute that cannot be found gets a raw value of 0. Never throws.
    void Update() noexcept;

    // The system disk's record of the last Update (all zero before it); its `source` is the one
    // answer to whether this Update read the drive. A failed refresh keeps the counters of the
    // one before, as not this cycle's.
    const DiskHealth& Health() const noexcept;
    // The health readings the system disk provided when the source was made.
    DiskHealthReadings Provides() const noexcept;

    std::array<diag::SmartAttribute, 5> m_Attributes{};

private:
    // The system disk gave no attribute table or page at the last update: its loss and its
    // return are logged once each, not every cycle.
    bool m_bDriveMissing = false;
    // The last refresh failed: a failure that persists is logged once, not every cycle.
    bool m_bRefreshFailed = false;
    // The watched attribute was missing from the system disk's table at the last update that read
    // one.
    std::array<bool, 5> m_bAttributeMissing{};
    DiskSource m_Source = DiskSource::None;
    DiskHealth m_Health;
    DiskHealthReadings m_Provides;
    std::wstring m_strLoggedSource;  // the source line the log last wrote

    // Fills the record from what answered for the system disk: its NVMe health page, or its ATA
    // attributes, verdict and statistics.
    void FillHealth();
    void FillFromPage(DiskHealth& p_Health, const diag::NvmeHealth* p_pPage) const;
    void FillFromAta(DiskHealth& p_Health) const;
    // Sets the source and logs it when the log has not named it yet or it changed.
    void NoteSource(DiskSource p_Source) noexcept;
};

}  // namespace MBDataAquisition
