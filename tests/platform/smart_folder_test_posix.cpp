#include "platform/posix/smart_folder.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "common/temp_folder.h"
#include "platform/ata_commands.h"
#include "platform/last_error.h"
#include "platform/posix/account_list.h"

namespace platform {
namespace {

class SmartFolderTest : public testing::Test {
protected:
    std::string Folder() const { return std::filesystem::path(m_Folder.Path()).string(); }

    // SMART READ DATA or READ THRESHOLDS of drive 0: the block's first byte, or -1 on failure.
    static int FirstByteOf(SmartFolder& p_Device, std::uint8_t p_nFeature)
    {
        const Handle l_hDrive = p_Device.Open(L"\\\\.\\PHYSICALDRIVE0");
        AtaRegisters l_In;
        l_In.features = p_nFeature;
        l_In.sectorCount = 1;
        l_In.lbaMid = ata::kSignatureMid;
        l_In.lbaHigh = ata::kSignatureHigh;
        l_In.command = ata::kSmart;
        AtaRegisters l_Out;
        std::array<std::uint8_t, DiskDevice::kSectorSize> l_Block{};
        const bool l_bDone =
            p_Device.AtaCommand(l_hDrive, l_In, l_Out, l_Block.data(), l_Block.size());
        p_Device.Close(l_hDrive);
        return l_bDone ? l_Block[0] : -1;
    }

    testing_support::TempFolder m_Folder;
};

// Each drive is read from its files at every open: the attribute block or the NVMe page, the
// files beside it, and its behaviour, one flag a line.
TEST_F(SmartFolderTest, TheFilesOfADriveMakeItsModel)
{
    SmartFolder l_Device(Folder());
    EXPECT_EQ(l_Device.Open(L"\\\\.\\PHYSICALDRIVE0"), kInvalidHandle);
    EXPECT_EQ(GetLastErrorCode(), kErrorFileNotFound);
    EXPECT_EQ(SmartFolder().Open(L"\\\\.\\PHYSICALDRIVE0"), kInvalidHandle);

    m_Folder.Write(L"PhysicalDrive0.bin", "\x11");  // padded with zeros
    EXPECT_EQ(FirstByteOf(l_Device, ata::kReadAttributes), 0x11);
    EXPECT_EQ(FirstByteOf(l_Device, ata::kReadThresholds), -1);
    m_Folder.Write(L"PhysicalDrive0.thr", std::string(512, '\x22'));
    EXPECT_EQ(FirstByteOf(l_Device, ata::kReadThresholds), 0x22);

    m_Folder.Write(L"PhysicalDrive0.ident", "SSD 870 EVO\r\nS5Y1\r\n");
    m_Folder.Write(L"PhysicalDrive0.failing", "");
    m_Folder.Write(L"PhysicalDrive0.behaviour", "sense-only\r\nno such flag\r\nno-rights-only\n");
    const Handle l_hQuery = l_Device.OpenForQuery(L"\\\\.\\PHYSICALDRIVE0");
    bool l_bPredicted = false;
    std::array<std::uint8_t, DiskDevice::kSectorSize> l_Data{};
    ASSERT_TRUE(l_Device.PredictFailure(l_hQuery, l_bPredicted, l_Data.data()));
    EXPECT_TRUE(l_bPredicted);
    EXPECT_EQ(l_Data[0], 0);  // sense-only: the verdict without data
    StorageDescriptor l_Descriptor;
    EXPECT_FALSE(l_Device.Descriptor(l_hQuery, l_Descriptor));
    l_Device.Close(l_hQuery);
    EXPECT_EQ(l_Device.Open(L"\\\\.\\PHYSICALDRIVE0"), kInvalidHandle);  // no-rights-only
    EXPECT_EQ(GetLastErrorCode(), kErrorAccessDenied);

    m_Folder.Write(L"PhysicalDrive0.behaviour", "");
    const Handle l_hDrive = l_Device.OpenForQuery(L"\\\\.\\PHYSICALDRIVE0");
    ASSERT_TRUE(l_Device.Descriptor(l_hDrive, l_Descriptor));
    EXPECT_EQ(l_Descriptor.busType, bus::kSata);
    EXPECT_EQ(l_Descriptor.product, "SSD 870 EVO");
    EXPECT_EQ(l_Descriptor.serial, "S5Y1");
    l_Device.Close(l_hDrive);

    std::filesystem::remove(m_Folder.Path(L"PhysicalDrive0.bin"));
    std::string l_strPage(512, '\0');
    l_strPage[5] = 42;
    m_Folder.Write(L"PhysicalDrive0.nvme", l_strPage);
    const Handle l_hNvme = l_Device.OpenForQuery(L"\\\\.\\PHYSICALDRIVE0");
    ASSERT_TRUE(l_Device.Descriptor(l_hNvme, l_Descriptor));
    EXPECT_EQ(l_Descriptor.busType, bus::kNvme);
    ASSERT_TRUE(l_Device.NvmeHealthPage(l_hNvme, l_Data.data()));
    EXPECT_EQ(l_Data[5], 42);
    l_Device.Close(l_hNvme);
    EXPECT_EQ(l_Device.OpenHandles(), 0u);
}

// "SystemDrive" names the disk of each of the volume's extents; without it the query fails. On a
// machine without rights a drive opens for reading and writing only under a logon.
TEST_F(SmartFolderTest, TheVolumeAndTheRights)
{
    m_Folder.Write(L"PhysicalDrive0.bin", std::string(512, '\0'));
    SmartFolder l_Device(Folder(), true);
    const Handle l_hVolume = l_Device.OpenForQuery(L"\\\\.\\C:");
    std::vector<std::uint32_t> l_Disks;
    EXPECT_FALSE(l_Device.VolumeDiskExtents(l_hVolume, l_Disks));
    EXPECT_EQ(GetLastErrorCode(), kErrorInvalidFunction);
    m_Folder.Write(L"SystemDrive", "3\r\n5\r\n");
    ASSERT_TRUE(l_Device.VolumeDiskExtents(l_hVolume, l_Disks));
    EXPECT_EQ(l_Disks, (std::vector<std::uint32_t>{3, 5}));
    l_Device.Close(l_hVolume);

    EXPECT_EQ(l_Device.Open(L"\\\\.\\PHYSICALDRIVE0"), kInvalidHandle);
    EXPECT_EQ(GetLastErrorCode(), kErrorAccessDenied);
    AccountList l_Accounts;
    l_Accounts.Add(L"TarselAdmin", L"pw");
    Logon::Token l_Token{};
    ASSERT_TRUE(l_Accounts.LogOn(L"TarselAdmin", L"pw", l_Token));
    ASSERT_TRUE(l_Accounts.Impersonate(l_Token));
    const Handle l_hDrive = l_Device.Open(L"\\\\.\\PHYSICALDRIVE0");
    EXPECT_NE(l_hDrive, kInvalidHandle);
    l_Device.Close(l_hDrive);
    l_Accounts.RevertToSelf();
    l_Accounts.CloseToken(l_Token);
}

}  // namespace
}  // namespace platform
