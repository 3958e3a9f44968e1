#pragma once

#include "acquisition/device_descriptor.h"
#include "acquisition/disk_health.h"
#include "acquisition/drive_reading.h"
#include "acquisition/smart_attribute.h"
#include "platform/disk_device.h"
#include "support/scoped_handle.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace utils {
class LogonToken;
}

namespace diag {

// What the reader learnt of the system disk at its last read.
struct SystemDiskReport {
    // The drive could not be opened at all, not even for queries: the error of that open
    // (2 for a drive that does not exist); 0 when it opened.
    unsigned long openError = 0;
    // Its device descriptor, when the driver gave one.
    std::optional<DeviceDescriptor> descriptor;
    // What its protocol's reader made of it; read through the queries without rights (access
    // WithoutRights) when it could not be opened for reading and writing and those answered.
    MBDataAquisition::DiskHealth health;
};

// Reads physical drives 0 and 1 and the system disk, each in its protocol, under the identity of
// a configured account (opening a physical drive for reading and writing needs administrator
// rights). The account logs on once, when the reader is made; each read impersonates it for its
// duration. A drive whose descriptor names an NVMe bus is read for its health page when it is the
// system disk (no other drive's page is kept), any other with ATA SMART commands; the system
// disk, when it cannot be opened for reading and writing, is read through the queries that need
// no rights. The attribute tables are kept for GetSmartValue, the system disk's reading for the
// disk source.
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

    // Re-reads the drives; the tables and the report of the last read are dropped first.
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
    std::uint8_t SystemDrive() const noexcept;
    const SystemDiskReport& SystemDisk() const noexcept;

private:
    utils::ScopedHandle OpenDrive(std::uint8_t p_nDrive, bool p_bForQuery);
    // The drive's device descriptor; nothing when the query fails.
    std::optional<DeviceDescriptor> ReadDescriptor(const utils::ScopedHandle& p_hDrive);
    // The system disk through the queries without rights, when it cannot be opened otherwise.
    void ReadWithoutRights(std::uint8_t p_nDrive);
    // Keeps what a reader gave of drive `p_nDrive`: its table, and the system disk's record.
    void Keep(std::uint8_t p_nDrive, DriveReading p_Reading);

    bool m_bDriveFound = false;  // a drive answered at some read since construction
    std::wstring m_strUser;
    bool m_bPasswordSet = false;  // for the log, which never shows the password itself
    std::map<std::uint8_t, SmartTable> m_Drives;
    std::uint8_t m_nSystemDrive = 0;
    SystemDiskReport m_SystemDisk;  // of the last read
    platform::DiskDevice& m_Device;
    std::shared_ptr<const utils::LogonToken> m_pLogon;
};

}  // namespace diag
