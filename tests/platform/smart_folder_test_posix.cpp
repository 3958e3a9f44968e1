#include "platform/posix/smart_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/temp_folder.h"
#include "acquisition/device_descriptor.h"
#include "platform/ata_pass_through.h"
#include "platform/byte_order.h"
#include "platform/last_error.h"
#include "platform/posix/account_list.h"
#include "platform/smart_ioctl.h"
#include "platform/storage_query.h"
#include "platform/volume_extents.h"

namespace platform {
namespace {

class SmartFolderTest : public testing::Test {
protected:
    void WriteDrive(int n, const std::vector<std::uint8_t>& bytes)
    {
        m_Folder.Write(L"PhysicalDrive" + std::to_wstring(n) + L".bin",
                       std::string(bytes.begin(), bytes.end()));
    }

    std::string Folder() const { return std::filesystem::path(m_Folder.Path()).string(); }

    int Send(SmartFolder& device, DiskDevice::Handle h, std::uint32_t code, std::uint8_t features,
             std::vector<std::uint8_t>& out, std::uint8_t sectorCount = 1,
             std::uint8_t sectorNumber = 1)
    {
        smart::Command l_Command;
        l_Command.features = features;
        l_Command.sectorCount = sectorCount;
        l_Command.sectorNumber = sectorNumber;
        l_Command.cylinderLow = smart::kCylinderLow;
        l_Command.cylinderHigh = smart::kCylinderHigh;
        l_Command.driveHead = smart::kDriveHead;
        l_Command.command = smart::kSmartCommand;
        const smart::CommandBuffer l_In = smart::EncodeCommand(l_Command);
        std::uint32_t l_nBytes = 0;
        return device.Control(h, code, l_In.data(), static_cast<std::uint32_t>(l_In.size()),
                              out.data(), static_cast<std::uint32_t>(out.size()), l_nBytes);
    }

    testing_support::TempFolder m_Folder;
};

TEST_F(SmartFolderTest, AMissingFileIsAMissingDrive)
{
    WriteDrive(0, std::vector<std::uint8_t>(512, 0));
    SmartFolder l_Device(Folder());
    const auto l_hDrive0 = l_Device.Open(L"\\\\.\\PHYSICALDRIVE0");
    EXPECT_NE(l_hDrive0, platform::kInvalidHandle);
    l_Device.Close(l_hDrive0);
    EXPECT_EQ(l_Device.Open(L"\\\\.\\PHYSICALDRIVE1"), platform::kInvalidHandle);
    EXPECT_EQ(GetLastErrorCode(), kErrorFileNotFound);
    EXPECT_EQ(l_Device.Open(L"\\\\.\\PHYSICALDRIVE"), platform::kInvalidHandle);
    EXPECT_EQ(l_Device.Open(L"PhysicalDrive0.bin"), platform::kInvalidHandle);
    EXPECT_EQ(SmartFolder().Open(L"\\\\.\\PHYSICALDRIVE0"), platform::kInvalidHandle);
}

TEST_F(SmartFolderTest, AnswersTheThreeSmartCodes)
{
    std::vector<std::uint8_t> l_Block(512);
    for (std::size_t i = 0; i < l_Block.size(); ++i) {
        l_Block[i] = static_cast<std::uint8_t>(i * 7);
    }
    WriteDrive(0, l_Block);
    SmartFolder l_Device(Folder());
    const auto l_hDrive = l_Device.Open(L"\\\\.\\PhysicalDrive0");

    std::vector<std::uint8_t> l_Version(smart::kVersionSize);
    std::uint32_t l_nBytes = 0;
    ASSERT_EQ(l_Device.Control(l_hDrive, smart::kGetVersion, nullptr, 0, l_Version.data(),
                               static_cast<std::uint32_t>(l_Version.size()), l_nBytes),
              1);
    EXPECT_NE(l_Version[smart::kVersionCapabilitiesOffset] & smart::kCapSmartCommands, 0);

    std::vector<std::uint8_t> l_Out(smart::kCommandOutSize);
    EXPECT_EQ(Send(l_Device, l_hDrive, smart::kSendDriveCommand, smart::kFeatureEnable, l_Out), 1);
    EXPECT_EQ(Send(l_Device, l_hDrive, smart::kSendDriveCommand, smart::kFeatureAutoOffline, l_Out),
              1);

    std::vector<std::uint8_t> l_Read(smart::kReadOutSize, 0xCC);
    ASSERT_EQ(
        Send(l_Device, l_hDrive, smart::kReceiveDriveData, smart::kFeatureReadAttributes, l_Read),
        1);
    EXPECT_EQ(l_Read[0], 0x00);  // cBufferSize 512, little-endian
    EXPECT_EQ(l_Read[1], 0x02);
    EXPECT_EQ(std::vector<std::uint8_t>(l_Read.begin() + 16, l_Read.begin() + 528), l_Block);
    l_Device.Close(l_hDrive);
}

TEST_F(SmartFolderTest, PadsAShortBlockWithZeros)
{
    WriteDrive(1, {0x10, 0x00, 0x09});
    SmartFolder l_Device(Folder());
    const auto l_hDrive = l_Device.Open(L"\\\\.\\PHYSICALDRIVE1");
    std::vector<std::uint8_t> l_Read(smart::kReadOutSize, 0xCC);
    ASSERT_EQ(
        Send(l_Device, l_hDrive, smart::kReceiveDriveData, smart::kFeatureReadAttributes, l_Read),
        1);
    EXPECT_EQ(l_Read[16], 0x10);
    EXPECT_EQ(l_Read[18], 0x09);
    EXPECT_EQ(l_Read[19], 0x00);
    EXPECT_EQ(l_Read[528], 0x00);
    l_Device.Close(l_hDrive);
}

TEST_F(SmartFolderTest, RefusesWhatADriveWouldRefuse)
{
    WriteDrive(0, std::vector<std::uint8_t>(512, 0));
    SmartFolder l_Device(Folder());
    const auto l_hDrive = l_Device.Open(L"\\\\.\\PHYSICALDRIVE0");
    std::vector<std::uint8_t> l_Out(smart::kReadOutSize);
    EXPECT_EQ(Send(l_Device, l_hDrive, 0x70000, smart::kFeatureEnable, l_Out), 0);
    EXPECT_EQ(GetLastErrorCode(), kErrorNotSupported);
    EXPECT_EQ(Send(l_Device, l_hDrive, smart::kSendDriveCommand, 0xD9, l_Out), 0);
    std::vector<std::uint8_t> l_Small(smart::kCommandOutSize);
    EXPECT_EQ(
        Send(l_Device, l_hDrive, smart::kReceiveDriveData, smart::kFeatureReadAttributes, l_Small),
        0);
    EXPECT_EQ(GetLastErrorCode(), kErrorInsufficientBuffer);
    std::uint32_t l_nBytes = 0;
    EXPECT_EQ(l_Device.Control(l_hDrive, smart::kSendDriveCommand, nullptr, 0, l_Out.data(),
                               smart::kCommandOutSize, l_nBytes),
              0);
    l_Device.Close(l_hDrive);
    EXPECT_EQ(Send(l_Device, l_hDrive, smart::kSendDriveCommand, smart::kFeatureEnable, l_Out), 0);
    EXPECT_EQ(GetLastErrorCode(), kErrorInvalidHandle);
}

TEST_F(SmartFolderTest, AnNvmeFileIsAnNvmeDriveWithItsHealthPage)
{
    std::string l_strPage(300, '\0');  // shorter than a page: padded with zeros
    for (std::size_t i = 0; i < l_strPage.size(); ++i) {
        l_strPage[i] = static_cast<char>(i * 3 + 1);
    }
    m_Folder.Write(L"PhysicalDrive1.nvme", l_strPage);
    WriteDrive(0, std::vector<std::uint8_t>(512, 0));
    SmartFolder l_Device(Folder());
    const auto l_hAta = l_Device.Open(L"\\\\.\\PHYSICALDRIVE0");
    const auto l_hNvme = l_Device.Open(L"\\\\.\\PHYSICALDRIVE1");
    ASSERT_NE(l_hNvme, platform::kInvalidHandle);

    // The device descriptor names the bus; a short buffer gets the descriptor's beginning.
    const storage::DeviceQuery l_DeviceQuery = storage::EncodeDeviceQuery();
    auto BusType = [&](DiskDevice::Handle p_hDrive) {
        std::vector<std::uint8_t> l_Out(512, 0xCC);
        std::uint32_t l_nBytes = 0;
        EXPECT_EQ(l_Device.Control(p_hDrive, storage::kQueryProperty, l_DeviceQuery.data(),
                                   storage::kQuerySize, l_Out.data(), 512, l_nBytes),
                  1);
        EXPECT_EQ(l_nBytes, storage::kDeviceDescriptorSize);
        return l_Out[storage::kDeviceBusTypeOffset];
    };
    EXPECT_EQ(BusType(l_hNvme), storage::kBusTypeNvme);
    EXPECT_EQ(BusType(l_hAta), storage::kBusTypeSata);
    std::vector<std::uint8_t> l_Header(8);
    std::uint32_t l_nBytes = 0;
    EXPECT_EQ(l_Device.Control(l_hNvme, storage::kQueryProperty, l_DeviceQuery.data(),
                               storage::kQuerySize, l_Header.data(), 8, l_nBytes),
              1);
    EXPECT_EQ(l_nBytes, 8u);
    EXPECT_EQ(l_Header[4], storage::kDeviceDescriptorSize);

    // The health page, behind the descriptor, in the inbox driver's layout.
    const storage::HealthQuery l_Query = storage::EncodeHealthQuery();
    std::vector<std::uint8_t> l_Answer(storage::kHealthAnswerSize, 0xCC);
    ASSERT_EQ(l_Device.Control(l_hNvme, storage::kQueryProperty, l_Query.data(),
                               storage::kHealthQuerySize, l_Answer.data(),
                               storage::kHealthAnswerSize, l_nBytes),
              1);
    EXPECT_EQ(l_nBytes, storage::kHealthAnswerSize);
    std::vector<std::uint8_t> l_Expected(storage::kHealthAnswerSize);
    std::vector<std::uint8_t> l_Page(l_strPage.begin(), l_strPage.end());
    l_Page.resize(storage::kHealthPageSize, 0);
    storage::EncodeHealthAnswer(l_Expected.data(), l_Page.data());
    EXPECT_EQ(l_Answer, l_Expected);

    // Not for the ATA drive, not into a short buffer, not for another page.
    EXPECT_EQ(
        l_Device.Control(l_hAta, storage::kQueryProperty, l_Query.data(), storage::kHealthQuerySize,
                         l_Answer.data(), storage::kHealthAnswerSize, l_nBytes),
        0);
    EXPECT_EQ(GetLastErrorCode(), kErrorNotSupported);
    EXPECT_EQ(l_Device.Control(l_hNvme, storage::kQueryProperty, l_Query.data(),
                               storage::kHealthQuerySize, l_Answer.data(),
                               storage::kHealthAnswerSize - 1, l_nBytes),
              0);
    EXPECT_EQ(GetLastErrorCode(), kErrorInsufficientBuffer);
    storage::HealthQuery l_Other = l_Query;
    l_Other[storage::kQueryParametersOffset + storage::kRequestValueOffset] = 1;  // error log
    EXPECT_EQ(l_Device.Control(l_hNvme, storage::kQueryProperty, l_Other.data(),
                               storage::kHealthQuerySize, l_Answer.data(),
                               storage::kHealthAnswerSize, l_nBytes),
              0);
    EXPECT_EQ(l_Device.Control(l_hNvme, storage::kQueryProperty, l_Query.data(), 11,
                               l_Answer.data(), storage::kHealthAnswerSize, l_nBytes),
              0);
    EXPECT_EQ(GetLastErrorCode(), kErrorInvalidParameter);

    // The NVMe drive fails every S.M.A.R.T. control code.
    std::vector<std::uint8_t> l_Version(smart::kVersionSize);
    EXPECT_EQ(l_Device.Control(l_hNvme, smart::kGetVersion, nullptr, 0, l_Version.data(),
                               smart::kVersionSize, l_nBytes),
              0);
    EXPECT_EQ(GetLastErrorCode(), kErrorNotSupported);
    std::vector<std::uint8_t> l_Read(smart::kReadOutSize);
    EXPECT_EQ(
        Send(l_Device, l_hNvme, smart::kReceiveDriveData, smart::kFeatureReadAttributes, l_Read),
        0);
    EXPECT_EQ(Send(l_Device, l_hNvme, smart::kSendDriveCommand, smart::kFeatureEnable, l_Read), 0);
    l_Device.Close(l_hAta);
    l_Device.Close(l_hNvme);
}

// The files beside a drive answer the system volume's query, the verdict, the thresholds, the
// Device Statistics log (through the pass-through and SMART READ LOG), the predict-failure query
// and the descriptor's texts.
TEST_F(SmartFolderTest, TheFilesBesideADriveAnswerTheOtherQueries)
{
    WriteDrive(0, std::vector<std::uint8_t>(512, 0x11));
    m_Folder.Write(L"PhysicalDrive0.thr", std::string(512, '\x22'));
    std::string l_strLog(512 * 8, '\0');
    l_strLog[512 * 7 + 8] = 'w';
    m_Folder.Write(L"PhysicalDrive0.devstat", l_strLog);
    m_Folder.Write(L"PhysicalDrive0.ident", "SSD 870 EVO\r\nS5Y1\r\n");
    SmartFolder l_Device(Folder(), true);

    // Without SystemDrive the volume query fails; with it, one extent per number, and as many as
    // fit with ERROR_MORE_DATA when the buffer is too small for all.
    const auto l_hVolume = l_Device.OpenForQuery(L"\\\\.\\C:");
    std::vector<std::uint8_t> l_Extents(volume::ExtentsSize(2));
    std::uint32_t l_nBytes = 0;
    EXPECT_EQ(l_Device.Control(l_hVolume, volume::kGetDiskExtents, nullptr, 0, l_Extents.data(),
                               volume::kExtentsSize, l_nBytes),
              0);
    EXPECT_EQ(GetLastErrorCode(), kErrorInvalidFunction);
    m_Folder.Write(L"SystemDrive", "3\r\n5\r\n");
    EXPECT_EQ(l_Device.Control(l_hVolume, volume::kGetDiskExtents, nullptr, 0, l_Extents.data(),
                               volume::kExtentsSize, l_nBytes),
              0);
    EXPECT_EQ(GetLastErrorCode(), kErrorMoreData);
    EXPECT_EQ(le::Load32(l_Extents.data()), 2u);
    ASSERT_EQ(l_Device.Control(l_hVolume, volume::kGetDiskExtents, nullptr, 0, l_Extents.data(),
                               volume::ExtentsSize(2), l_nBytes),
              1);
    EXPECT_EQ(l_nBytes, volume::ExtentsSize(2));
    EXPECT_EQ(le::Load32(l_Extents.data() + volume::kFirstExtentOffset), 3u);
    EXPECT_EQ(le::Load32(l_Extents.data() + volume::kFirstExtentOffset + volume::kExtentSize), 5u);
    l_Device.Close(l_hVolume);

    // Without an impersonated logon the drive opens for queries only.
    EXPECT_EQ(l_Device.Open(L"\\\\.\\PHYSICALDRIVE0"), platform::kInvalidHandle);
    EXPECT_EQ(GetLastErrorCode(), kErrorAccessDenied);
    const auto l_hQuery = l_Device.OpenForQuery(L"\\\\.\\PHYSICALDRIVE0");
    std::vector<std::uint8_t> l_Predict(storage::kPredictFailureSize);
    ASSERT_EQ(l_Device.Control(l_hQuery, storage::kPredictFailure, nullptr, 0, l_Predict.data(),
                               storage::kPredictFailureSize, l_nBytes),
              1);
    EXPECT_EQ(le::Load32(l_Predict.data()), 0u);
    EXPECT_EQ(l_Predict[4 + 511], 0x11);
    std::vector<std::uint8_t> l_Status(smart::kStatusOutSize);
    EXPECT_EQ(
        Send(l_Device, l_hQuery, smart::kSendDriveCommand, smart::kFeatureReturnStatus, l_Status),
        0);
    EXPECT_EQ(GetLastErrorCode(), kErrorAccessDenied);
    const storage::DeviceQuery l_Query = storage::EncodeDeviceQuery();
    std::vector<std::uint8_t> l_Descriptor(storage::kDeviceAnswerSize);
    ASSERT_EQ(
        l_Device.Control(l_hQuery, storage::kQueryProperty, l_Query.data(), storage::kQuerySize,
                         l_Descriptor.data(), storage::kDeviceAnswerSize, l_nBytes),
        1);
    const auto l_Parsed = diag::ParseDeviceDescriptor(l_Descriptor.data(), l_nBytes);
    ASSERT_TRUE(l_Parsed);
    EXPECT_EQ(l_Parsed->model, L"SSD 870 EVO");
    EXPECT_EQ(l_Parsed->serial, L"S5Y1");
    l_Device.Close(l_hQuery);

    AccountList l_Accounts;
    l_Accounts.Add(L"TarselAdmin", L"pw");
    Logon::Token l_Token = Logon::kInvalidToken;
    ASSERT_TRUE(l_Accounts.LogOn(L"TarselAdmin", L"pw", l_Token));
    ASSERT_TRUE(l_Accounts.Impersonate(l_Token));
    const auto l_hDrive = l_Device.Open(L"\\\\.\\PHYSICALDRIVE0");
    l_Accounts.RevertToSelf();
    ASSERT_NE(l_hDrive, platform::kInvalidHandle);
    ASSERT_EQ(
        Send(l_Device, l_hDrive, smart::kSendDriveCommand, smart::kFeatureReturnStatus, l_Status),
        1);
    EXPECT_EQ(l_Status[16 + 3], 0x4F);
    m_Folder.Write(L"PhysicalDrive0.failing", "");
    ASSERT_EQ(
        Send(l_Device, l_hDrive, smart::kSendDriveCommand, smart::kFeatureReturnStatus, l_Status),
        1);
    EXPECT_EQ(l_Status[16 + 3], 0xF4);
    EXPECT_EQ(l_Status[16 + 4], 0x2C);
    std::vector<std::uint8_t> l_Thresholds(smart::kReadOutSize);
    ASSERT_EQ(Send(l_Device, l_hDrive, smart::kReceiveDriveData, smart::kFeatureReadThresholds,
                   l_Thresholds),
              1);
    EXPECT_EQ(l_Thresholds[16 + 511], 0x22);
    ata::ReadLogBuffer l_Page = ata::EncodeReadLogExt(smart::kDeviceStatisticsLog, 7);
    ASSERT_EQ(l_Device.Control(l_hDrive, ata::kPassThrough, l_Page.data(), ata::kReadLogBufferSize,
                               l_Page.data(), ata::kReadLogBufferSize, l_nBytes),
              1);
    EXPECT_EQ(l_Page[ata::kHeaderSize + 8], 'w');
    EXPECT_TRUE(ata::Completed(l_Page.data()));
    l_Page = ata::EncodeReadLogExt(smart::kDeviceStatisticsLog, 8);  // beyond the log
    EXPECT_EQ(l_Device.Control(l_hDrive, ata::kPassThrough, l_Page.data(), ata::kReadLogBufferSize,
                               l_Page.data(), ata::kReadLogBufferSize, l_nBytes),
              0);
    std::vector<std::uint8_t> l_Log(smart::ReadLogOutSize(8) - 1);  // too small for the driver
    EXPECT_EQ(Send(l_Device, l_hDrive, smart::kReceiveDriveData, smart::kFeatureReadLog, l_Log, 8,
                   smart::kDeviceStatisticsLog),
              0);
    l_Log.resize(smart::ReadLogOutSize(8));
    ASSERT_EQ(Send(l_Device, l_hDrive, smart::kReceiveDriveData, smart::kFeatureReadLog, l_Log, 8,
                   smart::kDeviceStatisticsLog),
              1);
    EXPECT_EQ(l_Log[16 + 512 * 7 + 8], 'w');
    l_Device.Close(l_hDrive);
}

}  // namespace
}  // namespace platform
