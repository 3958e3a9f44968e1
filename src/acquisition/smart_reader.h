#pragma once

#include "acquisition/nvme_health.h"
#include "acquisition/smart_attribute.h"
#include "platform/disk_device.h"
#include "support/scoped_handle.h"

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>

namespace utils {
class LogonToken;
}

namespace diag {

// Reads the S.M.A.R.T. attribute tables of physical drives 0 and 1 through the disk driver's
// control codes, under the identity of a configured account (opening a physical drive needs
// administrator rights). The account logs on once, when the reader is made; each read
// impersonates it for its duration. A drive whose bus is NVMe answers no S.M.A.R.T. control code:
// its health information log page is read through the storage property query instead.
class SmartReader {
public:
    // Logs on (unless both texts are empty) and reads the drives. Throws std::runtime_error
    // "Unable to log on!" or "Impersonation failed!".
    SmartReader(const std::wstring& p_strUser, const std::wstring& p_strPassword);
    ~SmartReader();
    SmartReader(const SmartReader&) = delete;
    SmartReader& operator=(const SmartReader&) = delete;

    // Re-reads both drives; the tables and pages of the last read are dropped first.
    void Init();
    // Re-reads the drives once S.M.A.R.T. was ever enabled on one; otherwise does nothing.
    void Refresh();
    // A copy of an attribute of a drive's last read. Throws std::runtime_error
    // "Invalid S.M.A.R.T. index!" (ID above 255), "Invalid drive index!" (no table for the
    // drive) or "Invalid S.M.A.R.T. value!" (no such attribute; the table is logged first).
    SmartAttribute GetSmartValue(std::uint32_t p_idxValue, std::uint8_t p_nDrive) const;

    // Automatic off-line data collection is enabled at most once per process; tests start over.
    static void ForgetAutoOffline();

protected:
    utils::ScopedHandle OpenDrive(std::uint8_t p_nDrive);
    bool EnableSmart(const utils::ScopedHandle& p_hDrive, std::uint8_t p_nDrive);
    void EnableAutoOffline(const utils::ScopedHandle& p_hDrive, std::uint8_t p_nDrive);
    void ReadAttributes(const utils::ScopedHandle& p_hDrive, std::uint8_t p_nDrive);
    // The drive's bus is NVMe, as its device descriptor says; false when the query fails.
    bool IsNvmeDrive(const utils::ScopedHandle& p_hDrive);
    // Stores the drive's health page when the driver answers the query with a sound one.
    void ReadHealthPage(const utils::ScopedHandle& p_hDrive, std::uint8_t p_nDrive);

    std::int32_t m_nDriveCount = 0;  // enabled or NVMe drives, summed over all reads; only grows
    std::wstring m_strUser;
    std::wstring m_strPassword;
    std::map<std::uint8_t, SmartTable> m_Drives;
    std::set<std::uint8_t> m_NvmeDrives;               // drives on an NVMe bus at the last read
    std::map<std::uint8_t, NvmeHealth> m_HealthPages;  // their pages, where one could be read

private:
    bool SupportsSmart(const utils::ScopedHandle& p_hDrive);

    platform::DiskDevice& m_Device;
    std::shared_ptr<const utils::LogonToken> m_pLogon;
};

}  // namespace diag
