#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "acquisition/harddisk.h"
#include "acquisition/impersonation.h"
#include "platform/disk_device.h"
#include "platform/smart_ioctl.h"

// The Windows families themselves. Without administrator rights (and under Wine, whose disk
// driver has no S.M.A.R.T.) no drive answers, so the reader must come out empty and quiet.
namespace {

TEST(DiskSystemTest, ADriveWithoutSmartYieldsZeros)
{
    diag::SmartReader::ForgetAutoOffline();
    MBDataAquisition::Harddisk l_Disk(L"", L"");
    l_Disk.Update();
    for (const auto& l_Attribute : l_Disk.m_Attributes) {
        EXPECT_EQ(l_Attribute.RawValue, 0);
    }
    EXPECT_THROW(l_Disk.GetSmartValue(9, 0), std::runtime_error);
}

TEST(DiskSystemTest, ControlOnAnInvalidHandleFails)
{
    std::uint8_t l_Version[platform::smart::kVersionSize] = {};
    std::uint32_t l_nBytes = 0;
    EXPECT_EQ(platform::DiskDevice::System().Control(platform::kInvalidHandle,
                                                     platform::smart::kGetVersion, nullptr, 0,
                                                     l_Version, sizeof l_Version, l_nBytes),
              0);
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
