#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "acquisition/harddisk.h"
#include "common/temp_folder.h"
#include "standins/drive_bay.h"
#include "fakes/log_capture.h"
#include "platform/posix/account_list.h"
#include "platform/posix/smart_folder.h"
#include "platform/seam.h"

// The disk source over the posix substitutes the host uses: attribute blocks in a folder and a
// list of accounts.
namespace {

class HarddiskFolderTest : public testing::Test {
protected:
    void SetUp() override
    {
        diag::SmartReader::ForgetAutoOffline();
        m_Accounts.Add(L"TarselAdmin", L"pw");
    }

    void WriteBlock(int p_nDrive, std::uint16_t p_nHours)
    {
        platform::DriveModel::Block l_Block{};
        platform::PutAttribute(l_Block, 0, 9, 0, 100, 100, p_nHours);
        platform::PutAttribute(l_Block, 1, 5, 0, 100, 100, 7);
        m_Folder.Write(L"PhysicalDrive" + std::to_wstring(p_nDrive) + L".bin",
                       std::string(l_Block.begin(), l_Block.end()));
    }

    testing_support::TempFolder m_Folder;
    platform::SmartFolder m_Drives{std::filesystem::path(m_Folder.Path()).string()};
    platform::AccountList m_Accounts;
    platform::Substitute<platform::DiskDevice> m_DriveSubstitute{m_Drives};
    platform::Substitute<platform::Logon> m_AccountSubstitute{m_Accounts};
};

TEST_F(HarddiskFolderTest, ReadsTheBlocksUnderTheAccount)
{
    WriteBlock(0, 1234);
    MBDataAquisition::Harddisk l_Disk(L"TarselAdmin", L"pw");
    l_Disk.Update();
    EXPECT_EQ(l_Disk.Health().counters[0], 1234);
    EXPECT_EQ(l_Disk.Health().counters[4], 7);
    EXPECT_EQ(l_Disk.Health().counters[1], 0);
    EXPECT_EQ(platform::AccountList::CurrentAccount(), L"");

    WriteBlock(0, 1235);  // read anew on every refresh
    l_Disk.Update();
    EXPECT_EQ(l_Disk.Health().counters[0], 1235);
}

// On a machine without rights the administrator's logon opens the drive; a wrong password leaves
// the queries that need none.
TEST_F(HarddiskFolderTest, AWrongPasswordReadsWithoutRights)
{
    WriteBlock(0, 1);
    platform::SmartFolder l_Drives(std::filesystem::path(m_Folder.Path()).string(), true);
    const platform::Substitute<platform::DiskDevice> l_UseDrives{l_Drives};
    MBDataAquisition::Harddisk l_Admin(L"TarselAdmin", L"pw");
    l_Admin.Update();
    EXPECT_EQ(l_Admin.Health().access, MBDataAquisition::DiskAccess::ReadWrite);
    MBDataAquisition::Harddisk l_Wrong(L"TarselAdmin", L"wrong");
    l_Wrong.Update();
    EXPECT_EQ(l_Wrong.Health().access, MBDataAquisition::DiskAccess::WithoutRights);
    EXPECT_EQ(l_Wrong.Health().counters[0], 1);
}

TEST_F(HarddiskFolderTest, NoFilesNoDrives)
{
    MBDataAquisition::Harddisk l_Disk(L"", L"");
    WriteBlock(0, 99);  // found later: the reader never looks again
    l_Disk.Update();
    EXPECT_EQ(l_Disk.Health().counters[0], 0);
}

TEST_F(HarddiskFolderTest, TheLossAndReturnOfDrive0AreLoggedOnceEach)
{
    fakes::LogCapture l_Log(0);
    WriteBlock(1, 50);
    MBDataAquisition::Harddisk l_Disk(L"", L"");
    l_Disk.Update();
    l_Disk.Update();
    EXPECT_EQ(l_Disk.Health().counters[0], 0);
    WriteBlock(0, 77);
    l_Disk.Update();
    l_Disk.Update();
    EXPECT_EQ(l_Disk.Health().counters[0], 77);
    const std::string l_strLog = l_Log.Normalized(true);
    const std::string l_strLost =
        "Harddisk::Update  line: N\t\tNo S.M.A.R.T. data from drive 0\r\n";
    const std::string l_strBack =
        "Harddisk::Update  line: N\t\tS.M.A.R.T. data from drive 0 again\r\n";
    ASSERT_NE(l_strLog.find(l_strLost), std::string::npos) << l_strLog;
    EXPECT_EQ(l_strLog.find(l_strLost), l_strLog.rfind(l_strLost));
    EXPECT_GT(l_strLog.find(l_strBack), l_strLog.find(l_strLost));
    EXPECT_EQ(l_strLog.find(l_strBack), l_strLog.rfind(l_strBack));
}

}  // namespace
