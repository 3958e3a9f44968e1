#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "acquisition/harddisk.h"
#include "acquisition/impersonation.h"
#include "acquisition/system_disk.h"
#include "platform/disk_device.h"

// The Windows families themselves. Without administrator rights (and under Wine, whose disk
// driver has no S.M.A.R.T.) no drive answers, so the reader must come out empty and quiet.
namespace {

TEST(DiskSystemTest, ADriveWithoutSmartYieldsZeros)
{
    diag::SmartReader::ForgetAutoOffline();
    MBDataAquisition::Harddisk l_Disk(L"", L"");
    l_Disk.Update();
    EXPECT_EQ(l_Disk.Health().counters, (std::array<std::int32_t, 5>{}));
    EXPECT_THROW(l_Disk.GetSmartValue(9, 0), std::runtime_error);
}

// The real volume of the Windows directory, opened without access: a drive number, or drive 0
// with the reason (Wine's volume driver does not name the disks of a volume).
TEST(DiskSystemTest, TheSystemDiskIsFoundOrDriveZeroSaysWhy)
{
    const MBDataAquisition::SystemDiskChoice l_Choice = MBDataAquisition::ChooseSystemDisk();
    const std::wstring l_strNamed = L"System disk: drive " + std::to_wstring(l_Choice.drive);
    EXPECT_EQ(l_Choice.line.compare(0, l_strNamed.size(), l_strNamed), 0);
    if (l_Choice.drive == 0) {
        EXPECT_GT(l_Choice.line.size(), l_strNamed.size()) << "drive 0 without a reason";
    }
}

TEST(DiskSystemTest, EveryOperationOnAnInvalidHandleFails)
{
    platform::DiskDevice& l_Device = platform::DiskDevice::System();
    platform::AtaRegisters l_In;
    l_In.command = 0xB0;
    l_In.features = 0xD8;
    platform::AtaRegisters l_Out;
    std::uint8_t l_Page[platform::DiskDevice::kSectorSize] = {};
    bool l_bPredicted = false;
    platform::StorageDescriptor l_Descriptor;
    std::vector<std::uint32_t> l_Disks;
    EXPECT_FALSE(l_Device.AtaCommand(platform::kInvalidHandle, l_In, l_Out, nullptr, 0));
    l_In.command = 0x2F;
    EXPECT_FALSE(l_Device.AtaCommand(platform::kInvalidHandle, l_In, l_Out, l_Page, 512));
    EXPECT_FALSE(l_Device.NvmeHealthPage(platform::kInvalidHandle, l_Page));
    EXPECT_FALSE(l_Device.PredictFailure(platform::kInvalidHandle, l_bPredicted, l_Page));
    EXPECT_FALSE(l_Device.Descriptor(platform::kInvalidHandle, l_Descriptor));
    EXPECT_FALSE(l_Device.VolumeDiskExtents(platform::kInvalidHandle, l_Disks));
}

TEST(DiskSystemTest, AnUnknownAccountCannotBeImpersonated)
{
    try {
        utils::Impersonation l_Scope(L"VexaNoSuchAccount", L"not the password");
        FAIL() << "impersonated an unknown account";
    } catch (const std::runtime_error& e) {
        const std::string l_strMessage = e.what();
        EXPECT_TRUE(l_strMessage == "Unable to log on!" || l_strMessage == "Impersonation failed!")
            << l_strMessage;
    }
}

}  // namespace
