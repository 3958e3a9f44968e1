#include "acquisition/smart_reader.h"

#include "acquisition/impersonation.h"
#include "logging/log.h"
#include "platform/ata_commands.h"
#include "platform/last_error.h"
#include "platform/seam.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <utility>
#include <vector>

namespace diag {

namespace ata = platform::ata;

namespace {

// Set once one drive accepted the command; never sent again in the life of the process.
bool s_bAutoOfflineEnabled = false;

constexpr std::uint8_t kTemperaturePage = 0x05;
constexpr std::uint8_t kSolidStatePage = 0x07;
constexpr std::size_t kPageSize = platform::DiskDevice::kSectorSize;

std::wstring DrivePath(std::uint8_t p_nDrive)
{
    return L"\\\\.\\PHYSICALDRIVE" + std::to_wstring(p_nDrive);
}

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
    m_NvmeDrives.clear();
    m_HealthPages.clear();
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
        const utils::ScopedHandle l_hDrive = OpenDrive(n);
        // Another drive's invalid handle makes its first control call fail.
        if (l_bSystem && !l_hDrive.IsValid()) {
            ReadWithoutRights(n);
            continue;
        }
        const std::optional<DeviceDescriptor> l_Descriptor = ReadDescriptor(l_hDrive);
        if (l_bSystem) {
            m_SystemDisk.descriptor = l_Descriptor;
        }
        if (l_Descriptor && l_Descriptor->busType == platform::bus::kNvme) {
            m_NvmeDrives.insert(n);
            ReadHealthPage(l_hDrive, n);
            m_bDriveFound = true;
            continue;
        }
        if (!EnableSmart(l_hDrive)) {
            continue;
        }
        EnableAutoOffline(l_hDrive);
        ReadAttributes(l_hDrive, n);
        if (l_bSystem) {
            ReadVerdict(l_hDrive);
            ReadThresholds(l_hDrive);
            ReadDeviceStatistics(l_hDrive);
        }
        m_bDriveFound = true;
    }
    const auto& l_Descriptor = m_SystemDisk.descriptor;
    if (l_Descriptor && l_Descriptor->busType == platform::bus::kRaid) {
        m_SystemDisk.hiddenByRaid = true;
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
    s_bAutoOfflineEnabled = false;
}

// The handle is not checked: an invalid one makes the first command fail.
utils::ScopedHandle SmartReader::OpenDrive(std::uint8_t p_nDrive)
{
    platform::DiskDevice& l_Device = m_Device;
    return utils::ScopedHandle(
        l_Device.Open(DrivePath(p_nDrive)),
        [&l_Device](platform::Handle p_hDrive) { l_Device.Close(p_hDrive); });
}

utils::ScopedHandle SmartReader::OpenDriveForQuery(std::uint8_t p_nDrive)
{
    platform::DiskDevice& l_Device = m_Device;
    return utils::ScopedHandle(
        l_Device.OpenForQuery(DrivePath(p_nDrive)),
        [&l_Device](platform::Handle p_hDrive) { l_Device.Close(p_hDrive); });
}

bool SmartReader::Smart(const utils::ScopedHandle& p_hDrive, std::uint8_t p_nFeatures,
                        std::uint8_t p_nCount, std::uint8_t p_nLbaLow, std::uint8_t* p_pData,
                        std::size_t p_nSize, platform::AtaRegisters* p_pOut)
{
    platform::AtaRegisters l_In;
    l_In.features = p_nFeatures;
    l_In.sectorCount = p_nCount;
    l_In.lbaLow = p_nLbaLow;
    l_In.lbaMid = ata::kSignatureMid;
    l_In.lbaHigh = ata::kSignatureHigh;
    l_In.device = ata::kDevice;
    l_In.command = ata::kSmart;
    platform::AtaRegisters l_Out;
    if (p_pData != nullptr) {
        std::fill_n(p_pData, p_nSize, std::uint8_t{0});
    }
    const bool l_bDone = m_Device.AtaCommand(p_hDrive.Get(), l_In, l_Out, p_pData, p_nSize);
    if (p_pOut != nullptr) {
        *p_pOut = l_Out;
    }
    return l_bDone;
}

bool SmartReader::EnableSmart(const utils::ScopedHandle& p_hDrive)
{
    return Smart(p_hDrive, ata::kEnable, 1, 1, nullptr, 0);
}

void SmartReader::EnableAutoOffline(const utils::ScopedHandle& p_hDrive)
{
    if (!s_bAutoOfflineEnabled && Smart(p_hDrive, ata::kAutoOffline, 0xF8, 1, nullptr, 0)) {
        s_bAutoOfflineEnabled = true;
    }
}

void SmartReader::ReadAttributes(const utils::ScopedHandle& p_hDrive, std::uint8_t p_nDrive)
{
    std::array<std::uint8_t, kPageSize> l_Block{};
    if (Smart(p_hDrive, ata::kReadAttributes, 1, 1, l_Block.data(), l_Block.size())) {
        m_Drives.emplace(p_nDrive, ParseAttributeBlock(l_Block.data()));
    }
}

std::optional<DeviceDescriptor> SmartReader::ReadDescriptor(const utils::ScopedHandle& p_hDrive)
{
    platform::StorageDescriptor l_Descriptor;
    if (!m_Device.Descriptor(p_hDrive.Get(), l_Descriptor)) {
        return std::nullopt;
    }
    return Describe(l_Descriptor);
}

void SmartReader::ReadVerdict(const utils::ScopedHandle& p_hDrive)
{
    platform::AtaRegisters l_Out;
    if (Smart(p_hDrive, ata::kReturnStatus, 0, 1, nullptr, 0, &l_Out)) {
        m_SystemDisk.thresholdExceeded = ParseStatusRegisters(l_Out);
    }
}

void SmartReader::ReadThresholds(const utils::ScopedHandle& p_hDrive)
{
    std::array<std::uint8_t, kPageSize> l_Block{};
    if (Smart(p_hDrive, ata::kReadThresholds, 1, 1, l_Block.data(), l_Block.size())) {
        m_SystemDisk.thresholds = ParseThresholdBlock(l_Block.data());
    }
}

bool SmartReader::ReadLogPage(const utils::ScopedHandle& p_hDrive, std::uint8_t p_nPage,
                              std::uint8_t* p_pPage)
{
    platform::AtaRegisters l_In;
    l_In.sectorCount = 1;
    l_In.lbaLow = ata::kDeviceStatisticsLog;
    l_In.lbaMid = p_nPage;
    l_In.command = ata::kReadLogExt;
    platform::AtaRegisters l_Out;
    return m_Device.AtaCommand(p_hDrive.Get(), l_In, l_Out, p_pPage, kPageSize) &&
           (l_Out.command & (ata::kStatusError | ata::kStatusDeviceFault)) == 0;
}

bool SmartReader::ReadLogPagesThroughSmart(const utils::ScopedHandle& p_hDrive,
                                           std::uint8_t p_nPages, std::uint8_t* p_pPages)
{
    return Smart(p_hDrive, ata::kReadLog, p_nPages, ata::kDeviceStatisticsLog, p_pPages,
                 kPageSize * p_nPages);
}

void SmartReader::ReadDeviceStatistics(const utils::ScopedHandle& p_hDrive)
{
    // Pages 0 to 7; READ LOG EXT reads one page per command, SMART READ LOG the pages from 0 on
    // in one.
    std::vector<std::uint8_t> l_Pages(kPageSize * (kSolidStatePage + 1));
    const auto Page = [&l_Pages](std::uint8_t p_nPage) {
        return l_Pages.data() + kPageSize * p_nPage;
    };
    bool l_bTemperature = false;
    bool l_bSolidState = false;
    if (ReadLogPage(p_hDrive, 0, Page(0))) {
        l_bTemperature = ListsPage(Page(0), kTemperaturePage) &&
                         ReadLogPage(p_hDrive, kTemperaturePage, Page(kTemperaturePage));
        l_bSolidState = ListsPage(Page(0), kSolidStatePage) &&
                        ReadLogPage(p_hDrive, kSolidStatePage, Page(kSolidStatePage));
    } else if (ReadLogPagesThroughSmart(p_hDrive, 1, Page(0))) {
        // Only as far as the last page wanted that the drive lists: a log that ends before
        // page 7 aborts a read of eight pages.
        const bool l_bListsTemperature = ListsPage(Page(0), kTemperaturePage);
        const bool l_bListsSolidState = ListsPage(Page(0), kSolidStatePage);
        const std::uint8_t l_nPages = l_bListsSolidState    ? kSolidStatePage + 1
                                      : l_bListsTemperature ? kTemperaturePage + 1
                                                            : 0;
        if (l_nPages != 0 && ReadLogPagesThroughSmart(p_hDrive, l_nPages, Page(0))) {
            l_bTemperature = l_bListsTemperature;
            l_bSolidState = l_bListsSolidState;
        }
    }
    m_SystemDisk.statistics =
        ParseDeviceStatistics(l_bTemperature ? Page(kTemperaturePage) : nullptr,
                              l_bSolidState ? Page(kSolidStatePage) : nullptr);
}

void SmartReader::ReadWithoutRights(std::uint8_t p_nDrive)
{
    const utils::ScopedHandle l_hDrive = OpenDriveForQuery(p_nDrive);
    if (!l_hDrive.IsValid()) {
        m_SystemDisk.openError = platform::GetLastErrorCode();
        return;
    }
    m_SystemDisk.descriptor = ReadDescriptor(l_hDrive);
    if (m_SystemDisk.descriptor && m_SystemDisk.descriptor->busType == platform::bus::kNvme) {
        m_NvmeDrives.insert(p_nDrive);
        ReadHealthPage(l_hDrive, p_nDrive);
        m_SystemDisk.withoutRights = m_HealthPages.count(p_nDrive) != 0;
        m_bDriveFound = m_bDriveFound || m_SystemDisk.withoutRights;
        return;
    }
    m_SystemDisk.withoutRights = true;
    ReadPrediction(l_hDrive, p_nDrive);
    m_SystemDisk.withoutRights = m_SystemDisk.thresholdExceeded.has_value();
}

void SmartReader::ReadPrediction(const utils::ScopedHandle& p_hDrive, std::uint8_t p_nDrive)
{
    bool l_bPredicted = false;
    std::array<std::uint8_t, kPageSize> l_Data{};
    if (!m_Device.PredictFailure(p_hDrive.Get(), l_bPredicted, l_Data.data())) {
        return;
    }
    m_SystemDisk.thresholdExceeded = l_bPredicted;
    m_bDriveFound = true;
    SmartTable l_Table = ParseAttributeBlock(l_Data.data());
    // A driver that takes the verdict from SCSI sense data (SAS and SCSI disks, some RAID and USB
    // bridges) answers with the verdict alone: its block names no attribute. Such a drive gave
    // its verdict and no counters; read as attributes they would show five sound zeros.
    if (std::none_of(l_Table.begin(), l_Table.end(),
                     [](const auto& p_Entry) { return p_Entry.first != 0; })) {
        return;
    }
    m_Drives.emplace(p_nDrive, std::move(l_Table));
}

void SmartReader::ReadHealthPage(const utils::ScopedHandle& p_hDrive, std::uint8_t p_nDrive)
{
    std::array<std::uint8_t, kPageSize> l_Page{};
    if (m_Device.NvmeHealthPage(p_hDrive.Get(), l_Page.data())) {
        m_HealthPages.emplace(p_nDrive, ParseHealthPage(l_Page.data()));
    }
}

}  // namespace diag
