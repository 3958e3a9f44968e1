#include "acquisition/smart_reader.h"

#include "acquisition/impersonation.h"
#include "logging/log.h"
#include "platform/ata_pass_through.h"
#include "platform/byte_order.h"
#include "platform/last_error.h"
#include "platform/seam.h"
#include "platform/smart_ioctl.h"
#include "platform/storage_query.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <utility>
#include <vector>

namespace diag {

namespace storage = platform::storage;
namespace ata = platform::ata;

namespace {

// Set once one drive accepted the command; never sent again in the life of the process.
bool s_bAutoOfflineEnabled = false;

constexpr std::uint8_t kDriveCount = 2;

constexpr std::uint8_t kTemperaturePage = 0x05;
constexpr std::uint8_t kSolidStatePage = 0x07;

smart::CommandBuffer MakeCommand(std::uint8_t p_nFeatures, std::uint8_t p_nSectorCount,
                                 std::uint32_t p_nBufferSize, std::uint8_t p_nDrive,
                                 std::uint8_t p_nSectorNumber = 1)
{
    smart::Command l_Command;
    l_Command.bufferSize = p_nBufferSize;
    l_Command.features = p_nFeatures;
    l_Command.sectorCount = p_nSectorCount;
    l_Command.sectorNumber = p_nSectorNumber;
    l_Command.cylinderLow = smart::kCylinderLow;
    l_Command.cylinderHigh = smart::kCylinderHigh;
    l_Command.driveHead = smart::kDriveHead;
    l_Command.command = smart::kSmartCommand;
    l_Command.driveNumber = p_nDrive;
    return smart::EncodeCommand(l_Command);
}

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
        if (l_Descriptor && l_Descriptor->busType == storage::kBusTypeNvme) {
            m_NvmeDrives.insert(n);
            ReadHealthPage(l_hDrive, n);
            m_bDriveFound = true;
            continue;
        }
        if (!SupportsSmart(l_hDrive) || !EnableSmart(l_hDrive, n)) {
            continue;
        }
        EnableAutoOffline(l_hDrive, n);
        ReadAttributes(l_hDrive, n);
        if (l_bSystem) {
            ReadVerdict(l_hDrive, n);
            ReadThresholds(l_hDrive, n);
            ReadDeviceStatistics(l_hDrive, n);
        }
        m_bDriveFound = true;
    }
    const auto& l_Descriptor = m_SystemDisk.descriptor;
    if (l_Descriptor && l_Descriptor->busType == storage::kBusTypeRaid) {
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

// The handle is not checked: an invalid one makes the first control call fail.
utils::ScopedHandle SmartReader::OpenDrive(std::uint8_t p_nDrive)
{
    platform::DiskDevice& l_Device = m_Device;
    return utils::ScopedHandle(
        l_Device.Open(DrivePath(p_nDrive)),
        [&l_Device](platform::Handle p_hDrive) { l_Device.Close(p_hDrive); });
}

bool SmartReader::SupportsSmart(const utils::ScopedHandle& p_hDrive)
{
    std::array<std::uint8_t, smart::kVersionSize> l_Version{};
    std::uint32_t l_nBytes = 0;
    if (m_Device.Control(p_hDrive.Get(), smart::kGetVersion, nullptr, 0, l_Version.data(),
                         static_cast<std::uint32_t>(l_Version.size()), l_nBytes) == 0) {
        return false;
    }
    const std::uint32_t l_nCapabilities =
        platform::le::Load32(l_Version.data() + smart::kVersionCapabilitiesOffset);
    return (l_nCapabilities & smart::kCapSmartCommands) != 0;
}

bool SmartReader::SmartCall(const utils::ScopedHandle& p_hDrive, std::uint32_t p_nCode,
                            const smart::CommandBuffer& p_In, std::uint8_t* p_pOut,
                            std::size_t p_nOutSize, std::size_t p_nNeeded)
{
    std::fill_n(p_pOut, p_nOutSize, std::uint8_t{0});
    std::uint32_t l_nBytes = 0;
    return m_Device.Control(p_hDrive.Get(), p_nCode, p_In.data(),
                            static_cast<std::uint32_t>(p_In.size()), p_pOut,
                            static_cast<std::uint32_t>(p_nOutSize), l_nBytes) == 1 &&
           l_nBytes >= p_nNeeded && p_pOut[smart::kOutDriverErrorOffset] == 0;
}

bool SmartReader::EnableSmart(const utils::ScopedHandle& p_hDrive, std::uint8_t p_nDrive)
{
    std::array<std::uint8_t, smart::kCommandOutSize> l_Out{};
    return SmartCall(p_hDrive, smart::kSendDriveCommand,
                     MakeCommand(smart::kFeatureEnable, 1, 0, p_nDrive), l_Out.data(), l_Out.size(),
                     0);
}

void SmartReader::EnableAutoOffline(const utils::ScopedHandle& p_hDrive, std::uint8_t p_nDrive)
{
    if (s_bAutoOfflineEnabled) {
        return;
    }
    std::array<std::uint8_t, smart::kCommandOutSize> l_Out{};
    if (SmartCall(p_hDrive, smart::kSendDriveCommand,
                  MakeCommand(smart::kFeatureAutoOffline, 0xF8, 0, p_nDrive), l_Out.data(),
                  l_Out.size(), 0)) {
        s_bAutoOfflineEnabled = true;
    }
}

void SmartReader::ReadAttributes(const utils::ScopedHandle& p_hDrive, std::uint8_t p_nDrive)
{
    std::array<std::uint8_t, smart::kReadOutSize> l_Out{};
    if (!SmartCall(
            p_hDrive, smart::kReceiveDriveData,
            MakeCommand(smart::kFeatureReadAttributes, 1, smart::kAttributeBlockSize, p_nDrive),
            l_Out.data(), l_Out.size(), 0)) {
        return;
    }
    m_Drives.emplace(p_nDrive, ParseAttributeBlock(l_Out.data() + smart::kOutDataOffset));
}

utils::ScopedHandle SmartReader::OpenDriveForQuery(std::uint8_t p_nDrive)
{
    platform::DiskDevice& l_Device = m_Device;
    return utils::ScopedHandle(
        l_Device.OpenForQuery(DrivePath(p_nDrive)),
        [&l_Device](platform::Handle p_hDrive) { l_Device.Close(p_hDrive); });
}

std::optional<DeviceDescriptor> SmartReader::ReadDescriptor(const utils::ScopedHandle& p_hDrive)
{
    const storage::DeviceQuery l_Query = storage::EncodeDeviceQuery();
    std::array<std::uint8_t, storage::kDeviceAnswerSize> l_Answer{};
    std::uint32_t l_nBytes = 0;
    if (m_Device.Control(p_hDrive.Get(), storage::kQueryProperty, l_Query.data(),
                         static_cast<std::uint32_t>(l_Query.size()), l_Answer.data(),
                         static_cast<std::uint32_t>(l_Answer.size()), l_nBytes) == 0) {
        return std::nullopt;
    }
    return ParseDeviceDescriptor(l_Answer.data(), std::min<std::size_t>(l_nBytes, l_Answer.size()));
}

void SmartReader::ReadVerdict(const utils::ScopedHandle& p_hDrive, std::uint8_t p_nDrive)
{
    std::array<std::uint8_t, smart::kStatusOutSize> l_Out{};
    if (!SmartCall(p_hDrive, smart::kSendDriveCommand,
                   MakeCommand(smart::kFeatureReturnStatus, 0, 0, p_nDrive), l_Out.data(),
                   l_Out.size(), smart::kStatusOutSize)) {
        return;
    }
    m_SystemDisk.thresholdExceeded = ParseStatusRegisters(l_Out.data() + smart::kOutDataOffset);
}

void SmartReader::ReadThresholds(const utils::ScopedHandle& p_hDrive, std::uint8_t p_nDrive)
{
    std::array<std::uint8_t, smart::kReadOutSize> l_Out{};
    if (!SmartCall(
            p_hDrive, smart::kReceiveDriveData,
            MakeCommand(smart::kFeatureReadThresholds, 1, smart::kAttributeBlockSize, p_nDrive),
            l_Out.data(), l_Out.size(), smart::kOutDataOffset + smart::kAttributeBlockSize)) {
        return;
    }
    m_SystemDisk.thresholds = ParseThresholdBlock(l_Out.data() + smart::kOutDataOffset);
}

bool SmartReader::ReadLogPage(const utils::ScopedHandle& p_hDrive, std::uint8_t p_nPage,
                              std::uint8_t* p_pPage)
{
    ata::ReadLogBuffer l_Buffer = ata::EncodeReadLogExt(smart::kDeviceStatisticsLog, p_nPage);
    std::uint32_t l_nBytes = 0;
    if (m_Device.Control(p_hDrive.Get(), ata::kPassThrough, l_Buffer.data(),
                         static_cast<std::uint32_t>(l_Buffer.size()), l_Buffer.data(),
                         static_cast<std::uint32_t>(l_Buffer.size()), l_nBytes) != 1 ||
        l_nBytes < l_Buffer.size() || !ata::Completed(l_Buffer.data())) {
        return false;
    }
    std::copy_n(l_Buffer.data() + ata::kHeaderSize, ata::kPageSize, p_pPage);
    return true;
}

bool SmartReader::ReadLogPagesThroughSmart(const utils::ScopedHandle& p_hDrive,
                                           std::uint8_t p_nDrive, std::uint8_t p_nPages,
                                           std::uint8_t* p_pPages)
{
    const std::uint32_t l_nSize = static_cast<std::uint32_t>(smart::kLogPageSize * p_nPages);
    std::vector<std::uint8_t> l_Out(smart::ReadLogOutSize(p_nPages));
    if (!SmartCall(p_hDrive, smart::kReceiveDriveData,
                   MakeCommand(smart::kFeatureReadLog, p_nPages, l_nSize, p_nDrive,
                               smart::kDeviceStatisticsLog),
                   l_Out.data(), l_Out.size(), smart::kOutDataOffset + l_nSize)) {
        return false;
    }
    std::copy_n(l_Out.data() + smart::kOutDataOffset, l_nSize, p_pPages);
    return true;
}

void SmartReader::ReadDeviceStatistics(const utils::ScopedHandle& p_hDrive, std::uint8_t p_nDrive)
{
    // Pages 0 to 7; the pass-through reads one page per command, SMART READ LOG the pages from 0
    // on in one.
    std::vector<std::uint8_t> l_Pages(smart::kLogPageSize * (kSolidStatePage + 1));
    const auto Page = [&l_Pages](std::uint8_t p_nPage) {
        return l_Pages.data() + smart::kLogPageSize * p_nPage;
    };
    bool l_bTemperature = false;
    bool l_bSolidState = false;
    if (ReadLogPage(p_hDrive, 0, Page(0))) {
        l_bTemperature = ListsPage(Page(0), kTemperaturePage) &&
                         ReadLogPage(p_hDrive, kTemperaturePage, Page(kTemperaturePage));
        l_bSolidState = ListsPage(Page(0), kSolidStatePage) &&
                        ReadLogPage(p_hDrive, kSolidStatePage, Page(kSolidStatePage));
    } else if (ReadLogPagesThroughSmart(p_hDrive, p_nDrive, 1, Page(0))) {
        // Only as far as the last page wanted that the drive lists: a log that ends before
        // page 7 aborts a read of eight pages.
        const bool l_bListsTemperature = ListsPage(Page(0), kTemperaturePage);
        const bool l_bListsSolidState = ListsPage(Page(0), kSolidStatePage);
        const std::uint8_t l_nPages = l_bListsSolidState    ? kSolidStatePage + 1
                                      : l_bListsTemperature ? kTemperaturePage + 1
                                                            : 0;
        if (l_nPages != 0 && ReadLogPagesThroughSmart(p_hDrive, p_nDrive, l_nPages, Page(0))) {
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
    if (m_SystemDisk.descriptor && m_SystemDisk.descriptor->busType == storage::kBusTypeNvme) {
        m_NvmeDrives.insert(p_nDrive);
        ReadHealthPage(l_hDrive, p_nDrive);
        m_SystemDisk.withoutRights = m_HealthPages.count(p_nDrive) != 0;
        m_bDriveFound = m_bDriveFound || m_SystemDisk.withoutRights;
        return;
    }
    std::array<std::uint8_t, storage::kPredictFailureSize> l_Answer{};
    std::uint32_t l_nBytes = 0;
    if (m_Device.Control(l_hDrive.Get(), storage::kPredictFailure, nullptr, 0, l_Answer.data(),
                         static_cast<std::uint32_t>(l_Answer.size()), l_nBytes) != 1 ||
        l_nBytes < l_Answer.size()) {
        return;
    }
    m_SystemDisk.withoutRights = true;
    m_SystemDisk.thresholdExceeded =
        platform::le::Load32(l_Answer.data() + storage::kPredictFailureFlagOffset) != 0;
    m_bDriveFound = true;
    SmartTable l_Table =
        ParseAttributeBlock(l_Answer.data() + storage::kPredictVendorSpecificOffset);
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
    const storage::HealthQuery l_Query = storage::EncodeHealthQuery();
    std::array<std::uint8_t, storage::kHealthAnswerSize> l_Answer{};
    std::uint32_t l_nBytes = 0;
    if (m_Device.Control(p_hDrive.Get(), storage::kQueryProperty, l_Query.data(),
                         static_cast<std::uint32_t>(l_Query.size()), l_Answer.data(),
                         static_cast<std::uint32_t>(l_Answer.size()), l_nBytes) == 0) {
        return;
    }
    // A driver that claims more bytes than the buffer holds is read only up to the buffer's end.
    const std::optional<NvmeHealth> l_Health =
        ParseHealthAnswer(l_Answer.data(), std::min<std::size_t>(l_nBytes, l_Answer.size()));
    if (l_Health) {
        m_HealthPages.emplace(p_nDrive, *l_Health);
    }
}

}  // namespace diag
