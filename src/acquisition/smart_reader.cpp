#include "acquisition/smart_reader.h"

#include "acquisition/ata_reader.h"
#include "acquisition/ata_without_rights_reader.h"
#include "acquisition/impersonation.h"
#include "acquisition/nvme_reader.h"
#include "logging/log.h"
#include "platform/last_error.h"
#include "platform/seam.h"

#include <stdexcept>
#include <utility>
#include <vector>

namespace diag {

namespace {

// The password never reaches the log; the line only tells whether one is set.
std::wstring Masked(bool p_bPasswordSet)
{
    return p_bPasswordSet ? std::wstring(L"********") : std::wstring();
}

// The account's logon. One that fails leaves the reader without a logon: the drives are then read
// with the rights of the process's own account (through the queries that need none, when it has
// too few), and the log says why.
std::shared_ptr<const utils::LogonToken> LogOnForTheDisks(const std::wstring& p_strUser,
                                                          const wchar_t* p_pPassword)
{
    try {
        return std::make_shared<const utils::LogonToken>(p_strUser, p_pPassword);
    } catch (const std::runtime_error&) {
        dbg::LogErrorLine(VEXA_LOCATION(L"diag::SmartReader::SmartReader"),
                          L"Unable to log on! The disks are read with the runtime's own rights.");
        return std::make_shared<const utils::LogonToken>(std::wstring(), L"");
    }
}

}  // namespace

SmartReader::SmartReader(const std::wstring& p_strUser, const wchar_t* p_pPassword,
                         std::uint8_t p_nSystemDrive)
    : m_strUser(p_strUser),
      m_bPasswordSet(p_pPassword != nullptr && *p_pPassword != L'\0'),
      m_nSystemDrive(p_nSystemDrive),
      m_Device(platform::Use<platform::DiskDevice>()),
      m_pLogon(LogOnForTheDisks(p_strUser, p_pPassword))
{
    Init();
}

SmartReader::~SmartReader() = default;

bool SmartReader::LogonFailed() const noexcept
{
    return !m_strUser.empty() && !m_pLogon->IsLoggedOn();
}

void SmartReader::Init()
{
    m_Drives.clear();
    m_SystemDisk = SystemDiskReport{};
    dbg::LogValueLine(VEXA_LOCATION(L"diag::SmartReader::Init"), 10, L"Username", m_strUser);
    dbg::LogValueLine(VEXA_LOCATION(L"diag::SmartReader::Init"), 10, L"m_strPassword",
                      Masked(m_bPasswordSet));

    const utils::Impersonation l_Impersonation(m_pLogon);
    std::vector<std::uint8_t> l_Drives{0, 1};
    if (m_nSystemDrive > 1) {
        l_Drives.push_back(m_nSystemDrive);
    }
    for (const std::uint8_t n : l_Drives) {
        const bool l_bSystem = n == m_nSystemDrive;
        const utils::ScopedHandle l_hDrive = OpenDrive(n, false);
        // Another drive's invalid handle makes its first control call fail.
        if (l_bSystem && !l_hDrive.IsValid()) {
            ReadWithoutRights(n);
            continue;
        }
        const std::optional<DeviceDescriptor> l_Descriptor = ReadDescriptor(l_hDrive);
        if (l_bSystem) {
            m_SystemDisk.descriptor = l_Descriptor;
        }
        // An NVMe drive knows no ATA command. It counts as present whether its page answers or
        // not, and only the system disk's page is kept: another's is not asked for.
        const bool l_bNvme = NamesBus(l_Descriptor, platform::bus::kNvme);
        m_bDriveFound = m_bDriveFound || l_bNvme;
        if (l_bNvme && !l_bSystem) {
            continue;
        }
        Keep(n, l_bNvme ? ReadNvmeDrive(m_Device, l_hDrive.Get())
                        : ReadAtaDrive(m_Device, l_hDrive.Get(), l_bSystem));
    }
}

void SmartReader::Refresh()
{
    if (m_bDriveFound) {
        Init();
    }
}

SmartAttribute SmartReader::GetSmartValue(std::uint32_t p_idxValue, std::uint8_t p_nDrive) const
{
    if (p_idxValue > 255) {
        throw std::runtime_error("Invalid S.M.A.R.T. index!");
    }
    const auto l_itDrive = m_Drives.find(p_nDrive);
    if (l_itDrive == m_Drives.end()) {
        throw std::runtime_error("Invalid drive index!");
    }
    const SmartTable& l_Table = l_itDrive->second;
    const auto l_itAttribute = l_Table.find(static_cast<std::uint8_t>(p_idxValue));
    if (l_itAttribute != l_Table.end()) {
        return l_itAttribute->second;
    }
    dbg::LogValueLine(VEXA_LOCATION(L"diag::SmartReader::GetSmartValue"), 0, L"p_idxValue",
                      p_idxValue);
    for (const auto& l_Entry : l_Table) {
        dbg::LogValueLine(VEXA_LOCATION(L"diag::SmartReader::GetSmartValue"), 3, L"Index",
                          l_Entry.second.Id);
        dbg::LogValueLine(VEXA_LOCATION(L"diag::SmartReader::GetSmartValue"), 3, L"Value",
                          l_Entry.second.RawValue);
    }
    throw std::runtime_error("Invalid S.M.A.R.T. value!");
}

void SmartReader::ForgetAutoOffline()
{
    ResetAutoOffline();
}

std::uint8_t SmartReader::SystemDrive() const noexcept
{
    return m_nSystemDrive;
}

const SystemDiskReport& SmartReader::SystemDisk() const noexcept
{
    return m_SystemDisk;
}

// The handle is not checked: an invalid one makes the first command fail.
utils::ScopedHandle SmartReader::OpenDrive(std::uint8_t p_nDrive, bool p_bForQuery)
{
    platform::DiskDevice& l_Device = m_Device;
    const std::wstring l_strPath = platform::PhysicalDrivePath(p_nDrive);
    return utils::ScopedHandle(
        p_bForQuery ? l_Device.OpenForQuery(l_strPath) : l_Device.Open(l_strPath),
        [&l_Device](platform::Handle p_hDrive) { l_Device.Close(p_hDrive); });
}

std::optional<DeviceDescriptor> SmartReader::ReadDescriptor(const utils::ScopedHandle& p_hDrive)
{
    platform::StorageDescriptor l_Descriptor;
    if (!m_Device.Descriptor(p_hDrive.Get(), l_Descriptor)) {
        return std::nullopt;
    }
    return Describe(l_Descriptor);
}

void SmartReader::ReadWithoutRights(std::uint8_t p_nDrive)
{
    const utils::ScopedHandle l_hDrive = OpenDrive(p_nDrive, true);
    if (!l_hDrive.IsValid()) {
        m_SystemDisk.openError = platform::GetLastErrorCode();
        return;
    }
    m_SystemDisk.descriptor = ReadDescriptor(l_hDrive);
    DriveReading l_Reading = NamesBus(m_SystemDisk.descriptor, platform::bus::kNvme)
                                 ? ReadNvmeDrive(m_Device, l_hDrive.Get())
                                 : ReadAtaWithoutRights(m_Device, l_hDrive.Get());
    if (l_Reading.answered) {
        l_Reading.health.access = MBDataAquisition::DiskAccess::WithoutRights;
    }
    Keep(p_nDrive, std::move(l_Reading));
}

void SmartReader::Keep(std::uint8_t p_nDrive, DriveReading p_Reading)
{
    m_bDriveFound = m_bDriveFound || p_Reading.answered;
    if (p_Reading.attributes) {
        m_Drives.emplace(p_nDrive, std::move(*p_Reading.attributes));
    }
    if (p_nDrive == m_nSystemDrive) {
        m_SystemDisk.health = std::move(p_Reading.health);
    }
}

}  // namespace diag
