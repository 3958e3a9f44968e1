#include "acquisition/smart_reader.h"

#include "acquisition/impersonation.h"
#include "logging/log.h"
#include "platform/byte_order.h"
#include "platform/seam.h"
#include "platform/smart_ioctl.h"
#include "platform/storage_query.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace diag {

namespace smart = platform::smart;
namespace storage = platform::storage;

namespace {

// Set once one drive accepted the command; never sent again in the life of the process.
bool s_bAutoOfflineEnabled = false;

constexpr std::uint8_t kDriveCount = 2;

smart::CommandBuffer MakeCommand(std::uint8_t p_nFeatures, std::uint8_t p_nSectorCount,
                                 std::uint32_t p_nBufferSize, std::uint8_t p_nDrive)
{
    smart::Command l_Command;
    l_Command.bufferSize = p_nBufferSize;
    l_Command.features = p_nFeatures;
    l_Command.sectorCount = p_nSectorCount;
    l_Command.sectorNumber = 1;
    l_Command.cylinderLow = smart::kCylinderLow;
    l_Command.cylinderHigh = smart::kCylinderHigh;
    l_Command.driveHead = smart::kDriveHead;
    l_Command.command = smart::kSmartCommand;
    l_Command.driveNumber = p_nDrive;
    return smart::EncodeCommand(l_Command);
}

// The password never reaches the log; the line only tells whether one is set.
std::wstring Masked(const std::wstring& p_strPassword)
{
    return p_strPassword.empty() ? std::wstring() : std::wstring(L"********");
}

}  // namespace

SmartReader::SmartReader(const std::wstring& p_strUser, const std::wstring& p_strPassword)
    : m_strUser(p_strUser),
      m_strPassword(p_strPassword),
      m_Device(platform::Use<platform::DiskDevice>()),
      m_pLogon(std::make_shared<const utils::LogonToken>(p_strUser, p_strPassword))
{
    Init();
}

SmartReader::~SmartReader() = default;

void SmartReader::Init()
{
    m_Drives.clear();
    m_NvmeDrives.clear();
    m_HealthPages.clear();
    dbg::LogValueLine(VEXA_LOCATION(L"diag::SmartReader::Init"), 10, L"Username", m_strUser);
    dbg::LogValueLine(VEXA_LOCATION(L"diag::SmartReader::Init"), 10, L"m_strPassword",
                      Masked(m_strPassword));

    const utils::Impersonation l_Impersonation(m_pLogon);
    for (std::uint8_t n = 0; n < kDriveCount; ++n) {
        const utils::ScopedHandle l_hDrive = OpenDrive(n);
        if (IsNvmeDrive(l_hDrive)) {
            m_NvmeDrives.insert(n);
            ReadHealthPage(l_hDrive, n);
            ++m_nDriveCount;
            continue;
        }
        if (!SupportsSmart(l_hDrive) || !EnableSmart(l_hDrive, n)) {
            continue;
        }
        EnableAutoOffline(l_hDrive, n);
        ReadAttributes(l_hDrive, n);
        ++m_nDriveCount;
    }
}

void SmartReader::Refresh()
{
    if (m_nDriveCount != 0) {
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
    const std::wstring l_strPath = L"\\\\.\\PHYSICALDRIVE" + std::to_wstring(p_nDrive);
    platform::DiskDevice& l_Device = m_Device;
    return utils::ScopedHandle(l_Device.Open(l_strPath), [&l_Device](platform::Handle p_hDrive) {
        l_Device.Close(p_hDrive);
    });
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

bool SmartReader::EnableSmart(const utils::ScopedHandle& p_hDrive, std::uint8_t p_nDrive)
{
    const smart::CommandBuffer l_In = MakeCommand(smart::kFeatureEnable, 1, 0, p_nDrive);
    std::array<std::uint8_t, smart::kCommandOutSize> l_Out{};
    std::uint32_t l_nBytes = 0;
    return m_Device.Control(p_hDrive.Get(), smart::kSendDriveCommand, l_In.data(),
                            static_cast<std::uint32_t>(l_In.size()), l_Out.data(),
                            static_cast<std::uint32_t>(l_Out.size()), l_nBytes) == 1;
}

void SmartReader::EnableAutoOffline(const utils::ScopedHandle& p_hDrive, std::uint8_t p_nDrive)
{
    if (s_bAutoOfflineEnabled) {
        return;
    }
    const smart::CommandBuffer l_In = MakeCommand(smart::kFeatureAutoOffline, 0xF8, 0, p_nDrive);
    std::array<std::uint8_t, smart::kCommandOutSize> l_Out{};
    std::uint32_t l_nBytes = 0;
    if (m_Device.Control(p_hDrive.Get(), smart::kSendDriveCommand, l_In.data(),
                         static_cast<std::uint32_t>(l_In.size()), l_Out.data(),
                         static_cast<std::uint32_t>(l_Out.size()), l_nBytes) == 1) {
        s_bAutoOfflineEnabled = true;
    }
}

void SmartReader::ReadAttributes(const utils::ScopedHandle& p_hDrive, std::uint8_t p_nDrive)
{
    const smart::CommandBuffer l_In =
        MakeCommand(smart::kFeatureReadAttributes, 1, smart::kAttributeBlockSize, p_nDrive);
    std::array<std::uint8_t, smart::kReadOutSize> l_Out{};
    std::uint32_t l_nBytes = 0;
    if (m_Device.Control(p_hDrive.Get(), smart::kReceiveDriveData, l_In.data(),
                         static_cast<std::uint32_t>(l_In.size()), l_Out.data(),
                         static_cast<std::uint32_t>(l_Out.size()), l_nBytes) != 1) {
        return;
    }
    m_Drives.emplace(p_nDrive, ParseAttributeBlock(l_Out.data() + smart::kOutDataOffset));
}

bool SmartReader::IsNvmeDrive(const utils::ScopedHandle& p_hDrive)
{
    const storage::DeviceQuery l_Query = storage::EncodeDeviceQuery();
    std::array<std::uint8_t, storage::kDeviceAnswerSize> l_Answer{};
    std::uint32_t l_nBytes = 0;
    if (m_Device.Control(p_hDrive.Get(), storage::kQueryProperty, l_Query.data(),
                         static_cast<std::uint32_t>(l_Query.size()), l_Answer.data(),
                         static_cast<std::uint32_t>(l_Answer.size()), l_nBytes) == 0) {
        return false;
    }
    const std::optional<std::uint32_t> l_nBusType =
        ParseBusType(l_Answer.data(), std::min<std::size_t>(l_nBytes, l_Answer.size()));
    return l_nBusType && *l_nBusType == storage::kBusTypeNvme;
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
