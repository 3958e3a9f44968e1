#pragma once

#include "acquisition/ata_health.h"
#include "acquisition/device_descriptor.h"
#include "acquisition/nvme_health.h"
#include "acquisition/smart_attribute.h"
#include "platform/disk_device.h"
#include "support/scoped_handle.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>

namespace utils {
class LogonToken;
}

namespace diag {

// What the reader learnt of the system disk at its last read, beside its attribute table or
// health page.
struct SystemDiskReport {
    // The drive could not be opened for reading and writing: it was read through the queries
    // that Windows answers on a handle opened without access.
    bool withoutRights = false;
    // Its device descriptor names a RAID bus: the controller hides the drive's own health data.
    bool hiddenByRaid = false;
    // The drive could not be opened at all, not even for queries: the error of that open
    // (2 for a drive that does not exist); 0 when it opened.
    unsigned long openError = 0;
    // Its device descriptor, when the driver gave one.
    std::optional<DeviceDescriptor> descriptor;
    // RETURN SMART STATUS (or, without rights, the predict-failure query): a threshold exceeded.
    // A predict-failure answer without attribute data (a verdict from SCSI sense data) gives
    // this alone.
    std::optional<bool> thresholdExceeded;
    std::optional<SmartThresholds> thresholds;
    DeviceStatistics statistics;
};

// Reads the S.M.A.R.T. attribute tables of physical drives 0 and 1 and of the system disk with
// ATA SMART commands, under the identity of a configured account (opening a physical drive for
// reading and writing needs administrator rights). The account logs on once, when the reader is
// made; each read impersonates it for its duration. A drive whose bus is NVMe knows no ATA
// command: its health information log page is read instead. Of the system disk the reader also
// takes its device descriptor, its verdict, its thresholds and its Device Statistics; when it
// cannot be opened for reading and writing, it reads what the queries without rights give (the
// predict-failure query, the NVMe health page).
class SmartReader {
public:
    // Logs on (unless both texts are empty) and reads the drives. A logon that fails is logged
    // and the drives are read without it. The logon is kept, the password is not. Throws
    // std::runtime_error "Impersonation failed!".
    SmartReader(const std::wstring& p_strUser, const wchar_t* p_pPassword,
                std::uint8_t p_nSystemDrive = 0);
    ~SmartReader();
    SmartReader(const SmartReader&) = delete;
    SmartReader& operator=(const SmartReader&) = delete;

    // Re-reads the drives; the tables, pages and the report of the last read are dropped first.
    void Init();
    // Re-reads the drives once one ever answered; otherwise does nothing.
    void Refresh();
    // A copy of an attribute of a drive's last read. Throws std::runtime_error
    // "Invalid S.M.A.R.T. index!" (ID above 255), "Invalid drive index!" (no table for the
    // drive) or "Invalid S.M.A.R.T. value!" (no such attribute; the table is logged first).
    SmartAttribute GetSmartValue(std::uint32_t p_idxValue, std::uint8_t p_nDrive) const;

    // An account was configured but did not log on: the drives are read with the rights of the
    // process's own account.
    bool LogonFailed() const noexcept;

    // Automatic off-line data collection is enabled at most once per process; tests start over.
    static void ForgetAutoOffline();

protected:
    utils::ScopedHandle OpenDrive(std::uint8_t p_nDrive);
    utils::ScopedHandle OpenDriveForQuery(std::uint8_t p_nDrive);
    bool EnableSmart(const utils::ScopedHandle& p_hDrive);
    void EnableAutoOffline(const utils::ScopedHandle& p_hDrive);
    void ReadAttributes(const utils::ScopedHandle& p_hDrive, std::uint8_t p_nDrive);
    // The drive's device descriptor; nothing when the query fails.
    std::optional<DeviceDescriptor> ReadDescriptor(const utils::ScopedHandle& p_hDrive);
    // Stores the drive's health page when the driver answers the query with a sound one.
    void ReadHealthPage(const utils::ScopedHandle& p_hDrive, std::uint8_t p_nDrive);

    bool m_bDriveFound = false;  // a drive answered at some read since construction
    std::wstring m_strUser;
    bool m_bPasswordSet = false;  // for the log, which never shows the password itself
    std::map<std::uint8_t, SmartTable> m_Drives;
    std::set<std::uint8_t> m_NvmeDrives;               // drives on an NVMe bus at the last read
    std::map<std::uint8_t, NvmeHealth> m_HealthPages;  // their pages, where one could be read
    std::uint8_t m_nSystemDrive = 0;
    SystemDiskReport m_SystemDisk;  // of the last read

private:
    // A SMART command with its feature, count and LBA low registers, reading `p_nSize` bytes
    // into `p_pData`; true when the driver carried it out. `p_pOut` receives the drive's
    // registers.
    bool Smart(const utils::ScopedHandle& p_hDrive, std::uint8_t p_nFeatures, std::uint8_t p_nCount,
               std::uint8_t p_nLbaLow, std::uint8_t* p_pData, std::size_t p_nSize,
               platform::AtaRegisters* p_pOut = nullptr);
    // The extra readings of the system disk once its attributes were read.
    void ReadVerdict(const utils::ScopedHandle& p_hDrive);
    void ReadThresholds(const utils::ScopedHandle& p_hDrive);
    void ReadDeviceStatistics(const utils::ScopedHandle& p_hDrive);
    // One page of the Device Statistics log with READ LOG EXT; false when the drive aborted it.
    bool ReadLogPage(const utils::ScopedHandle& p_hDrive, std::uint8_t p_nPage,
                     std::uint8_t* p_pPage);
    // Pages 0 to `p_nPages` - 1 of the Device Statistics log with SMART READ LOG, into
    // `p_pPages`.
    bool ReadLogPagesThroughSmart(const utils::ScopedHandle& p_hDrive, std::uint8_t p_nPages,
                                  std::uint8_t* p_pPages);
    // The system disk through the queries without rights, when it cannot be opened otherwise.
    void ReadWithoutRights(std::uint8_t p_nDrive);
    // The system disk's predict-failure answer: its verdict, and its attribute data when the
    // answer holds any.
    void ReadPrediction(const utils::ScopedHandle& p_hDrive, std::uint8_t p_nDrive);

    platform::DiskDevice& m_Device;
    std::shared_ptr<const utils::LogonToken> m_pLogon;
};

}  // namespace diag
