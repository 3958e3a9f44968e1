#include <gtest/gtest.h>

#include <array>
#include <set>
#include <string>
#include <vector>

#include "acquisition/harddisk.h"
#include "standins/drive_bay.h"
#include "fakes/fake_logon.h"
#include "fakes/log_capture.h"
#include "platform/byte_order.h"
#include "platform/ata_commands.h"
#include "platform/seam.h"

namespace {

namespace le = platform::le;
using MBDataAquisition::DiskSource;

using MBDataAquisition::CounterState;
using MBDataAquisition::Harddisk;

class NvmeReaderTest : public testing::Test {
protected:
    void SetUp() override { diag::SmartReader::ForgetAutoOffline(); }
    void TearDown() override { diag::SmartReader::ForgetAutoOffline(); }

    platform::DriveModel& AddNvme(int p_nDrive, std::uint64_t p_nHours)
    {
        auto& l_Drive = m_Device.Drive(p_nDrive);
        l_Drive.nvme = true;
        l_Drive.healthPage = {};
        l_Drive.healthPage[0] = 0x02;
        le::Store16(l_Drive.healthPage.data() + 1, 310);
        l_Drive.healthPage[5] = 91;
        le::Store64(l_Drive.healthPage.data() + 128, p_nHours);
        le::Store64(l_Drive.healthPage.data() + 160, 4);
        return l_Drive;
    }

    // The log lines of the disk source, time stamps and line numbers masked.
    static std::string SourceLines(const fakes::LogCapture& p_Log)
    {
        std::string l_strLines;
        const std::string l_strLog = p_Log.Normalized(true);
        std::size_t l_nStart = 0;
        while (l_nStart < l_strLog.size()) {
            const std::size_t l_nEnd = l_strLog.find('\n', l_nStart);
            const std::string l_strLine = l_strLog.substr(l_nStart, l_nEnd - l_nStart + 1);
            if (l_strLine.find("Drive 0:") != std::string::npos ||
                l_strLine.find("drive 0") != std::string::npos) {
                l_strLines += l_strLine;
            }
            if (l_nEnd == std::string::npos) {
                break;
            }
            l_nStart = l_nEnd + 1;
        }
        return l_strLines;
    }

    platform::DriveBay m_Device;
    fakes::FakeLogon m_Logon;
    platform::Substitute<platform::DiskDevice> m_DeviceSubstitute{m_Device};
    platform::Substitute<platform::Logon> m_LogonSubstitute{m_Logon};
};

// The ATA commands each drive received, by drive number.
std::set<std::uint32_t> DrivesAsked(const platform::DriveBay& p_Device, int p_nFeature = -1)
{
    std::set<std::uint32_t> l_Drives;
    for (const auto& l_Call : p_Device.AtaCalls()) {
        if (p_nFeature < 0 || l_Call.registers.features == p_nFeature) {
            l_Drives.insert(l_Call.drive);
        }
    }
    return l_Drives;
}

TEST_F(NvmeReaderTest, AnNvmeDriveGetsNoAtaCommand)
{
    AddNvme(0, 1234);
    m_Device.Drive(1).busType = platform::bus::kSata;
    Harddisk l_Disk(L"", L"");
    EXPECT_EQ(DrivesAsked(m_Device), (std::set<std::uint32_t>{1}));
    EXPECT_EQ(m_Device.OpenHandles(), 0u);
}

// Only the system disk's page is kept, so no other drive's page is read in a cycle.
TEST_F(NvmeReaderTest, OnlyTheSystemDisksPageIsRead)
{
    AddNvme(0, 100);
    AddNvme(1, 200);
    AddNvme(2, 300);
    const struct {
        std::uint8_t systemDrive;
        std::vector<std::uint32_t> pagesRead;
    } cases[] = {{0, {0, 0}}, {1, {1, 1}}, {2, {2, 2}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.systemDrive));
        const std::size_t l_nBefore = m_Device.HealthPageReads().size();
        diag::SmartReader l_Reader(L"", L"", c.systemDrive);
        l_Reader.Refresh();
        const std::vector<std::uint32_t> l_Reads = m_Device.HealthPageReads();
        EXPECT_EQ(std::vector<std::uint32_t>(l_Reads.begin() + l_nBefore, l_Reads.end()),
                  c.pagesRead);
    }
}

TEST_F(NvmeReaderTest, UpdateTakesDriveZerosPageInsteadOfItsAttributes)
{
    AddNvme(0, 70000);
    Harddisk l_Disk(L"", L"");
    EXPECT_EQ(l_Disk.Health().source, DiskSource::None);
    l_Disk.Update();
    const MBDataAquisition::DiskHealth& l_Health = l_Disk.Health();
    EXPECT_EQ(l_Health.source, DiskSource::Nvme);
    EXPECT_EQ(l_Health.counters[0], 70000);  // full width, not the low 16 bits
    EXPECT_EQ(l_Health.counters[1], 4);
    EXPECT_EQ(l_Health.criticalWarning, 0x02);
    EXPECT_EQ(l_Health.percentageUsed, 91);
    EXPECT_EQ(l_Health.temperature, 37);
    // NVMe counts no sectors: the other three slots are not applicable, not unread.
    const std::array<CounterState, 5> l_FromPage = {
        CounterState::Read, CounterState::Read, CounterState::NotApplicable,
        CounterState::NotApplicable, CounterState::NotApplicable};
    EXPECT_EQ(l_Health.counterStates, l_FromPage);

    // A drive whose queries fail reads as no data, and is read again in the next cycle.
    m_Device.Drive(0).refusesQueries = true;
    l_Disk.Update();
    EXPECT_EQ(l_Disk.Health().source, DiskSource::None);
    EXPECT_FALSE(l_Disk.Health().temperature);
    m_Device.Drive(0).refusesQueries = false;
    l_Disk.Update();
    EXPECT_EQ(l_Disk.Health().counters[0], 70000);
}

TEST_F(NvmeReaderTest, OtherBusesKeepTheAtaPath)
{
    m_Device.Drive(0).busType = platform::bus::kSata;
    m_Device.Drive(1);
    Harddisk l_Disk(L"", L"");
    EXPECT_EQ(DrivesAsked(m_Device, platform::ata::kReadAttributes),
              (std::set<std::uint32_t>{0, 1}));
    l_Disk.Update();
    EXPECT_EQ(l_Disk.Health().source, DiskSource::Ata);
}

TEST_F(NvmeReaderTest, AFailedRefreshKeepsTheCountersAsNotThisCycles)
{
    AddNvme(0, 500);
    Harddisk l_Disk(L"TarselAdmin", L"pw");
    l_Disk.Update();
    m_Logon.m_bImpersonateSucceeds = false;
    l_Disk.Update();
    EXPECT_EQ(l_Disk.Health().source, DiskSource::None);
    EXPECT_EQ(l_Disk.Health().counters[0], 500);
    EXPECT_FALSE(l_Disk.Health().percentageUsed);
    // The page is read under the account's identity, as the attributes are.
    EXPECT_EQ(m_Logon.m_nImpersonations, 3);
}

TEST_F(NvmeReaderTest, LogsTheSourceWhenFirstKnownAndWhenItChanges)
{
    auto& l_Drive = AddNvme(0, 1);
    Harddisk l_Disk(L"", L"");
    fakes::LogCapture l_Log(0);
    l_Disk.Update();
    l_Disk.Update();
    l_Drive.refusesQueries = true;
    l_Disk.Update();
    l_Disk.Update();
    l_Drive.refusesQueries = false;
    l_Disk.Update();
    EXPECT_EQ(
        SourceLines(l_Log),
        "T\tMBDataAquisition::Harddisk::NoteSource  line: N\t\tDrive 0: NVMe health information\r\n"
        "T\tMBDataAquisition::Harddisk::NoteSource  line: N\t\tDrive 0: no health information\r\n"
        "T\tMBDataAquisition::Harddisk::Update  line: N\t\tNo S.M.A.R.T. data from drive 0\r\n"
        "T\tMBDataAquisition::Harddisk::NoteSource  line: N\t\tDrive 0: NVMe health information\r\n"
        "T\tMBDataAquisition::Harddisk::Update  line: N\t\tS.M.A.R.T. data from drive 0 again\r\n");
}

TEST_F(NvmeReaderTest, AnAtaDriveIsNamedOnceToo)
{
    m_Device.Drive(0);
    Harddisk l_Disk(L"", L"");
    fakes::LogCapture l_Log(0);
    l_Disk.Update();
    l_Disk.Update();
    m_Device.Remove(0);
    l_Disk.Update();
    EXPECT_EQ(
        SourceLines(l_Log),
        "T\tMBDataAquisition::Harddisk::NoteSource  line: N\t\tDrive 0: ATA S.M.A.R.T. "
        "attributes\r\n"
        "T\tMBDataAquisition::Harddisk::NoteSource  line: N\t\tDrive 0: cannot be opened (error "
        "2)\r\n"
        "T\tMBDataAquisition::Harddisk::Update  line: N\t\tNo S.M.A.R.T. data from drive 0\r\n");
}

}  // namespace
