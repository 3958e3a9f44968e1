#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "acquisition/harddisk.h"
#include "fakes/fake_disk_device.h"
#include "fakes/fake_logon.h"
#include "fakes/log_capture.h"
#include "platform/byte_order.h"
#include "platform/seam.h"
#include "platform/storage_query.h"

namespace {

namespace smart = platform::smart;
namespace storage = platform::storage;
namespace le = platform::le;
using MBDataAquisition::DiskSource;

class ProbedHarddisk : public MBDataAquisition::Harddisk {
public:
    using Harddisk::Harddisk;
    using Harddisk::m_bDriveFound;
    using Harddisk::m_Drives;
    using Harddisk::m_HealthPages;
    using Harddisk::m_NvmeDrives;
};

class NvmeReaderTest : public testing::Test {
protected:
    void SetUp() override { diag::SmartReader::ForgetAutoOffline(); }
    void TearDown() override { diag::SmartReader::ForgetAutoOffline(); }

    fakes::FakeDiskDevice::Drive& AddNvme(int p_nDrive, std::uint64_t p_nHours)
    {
        auto& l_Drive = m_Device.AddDrive(p_nDrive);
        l_Drive.nBusType = storage::kBusTypeNvme;
        l_Drive.Page = {};
        l_Drive.Page[0] = 0x02;
        le::Store16(l_Drive.Page.data() + 1, 310);
        l_Drive.Page[5] = 91;
        le::Store64(l_Drive.Page.data() + 128, p_nHours);
        le::Store64(l_Drive.Page.data() + 160, 4);
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

    fakes::FakeDiskDevice m_Device;
    fakes::FakeLogon m_Logon;
    platform::Substitute<platform::DiskDevice> m_DeviceSubstitute{m_Device};
    platform::Substitute<platform::Logon> m_LogonSubstitute{m_Logon};
};

TEST_F(NvmeReaderTest, AsksTheBusThenTheHealthPageWithTheDocumentedBuffers)
{
    AddNvme(0, 1234);
    m_Device.AddDrive(1).nBusType = storage::kBusTypeSata;
    ProbedHarddisk l_Disk(L"", L"");

    const auto l_Queries = m_Device.CallsOf(storage::kQueryProperty);
    ASSERT_EQ(l_Queries.size(), 3u);  // drive 0: bus and page; drive 1: bus
    EXPECT_EQ(l_Queries[0].nDrive, 0);
    EXPECT_EQ(l_Queries[0].Input, std::vector<std::uint8_t>(12, 0));
    EXPECT_EQ(l_Queries[0].nOutputSize, 512u);
    EXPECT_TRUE(l_Queries[0].bOutputZeroed);

    EXPECT_EQ(l_Queries[1].nDrive, 0);
    EXPECT_EQ(l_Queries[1].nInputSize, 560u);
    EXPECT_EQ(l_Queries[1].nOutputSize, 560u);
    EXPECT_TRUE(l_Queries[1].bOutputZeroed);
    std::vector<std::uint8_t> l_Expected(560, 0);
    const std::uint8_t l_Head[] = {50, 0, 0, 0, 0, 0, 0, 0, 3,  0, 0, 0, 2, 0, 0, 0,
                                   2,  0, 0, 0, 0, 0, 0, 0, 40, 0, 0, 0, 0, 2, 0, 0};
    std::copy(std::begin(l_Head), std::end(l_Head), l_Expected.begin());
    EXPECT_EQ(l_Queries[1].Input, l_Expected);
    EXPECT_EQ(l_Queries[2].nDrive, 1);

    // The NVMe drive gets no S.M.A.R.T. control code; the SATA drive the usual ones.
    for (const auto& l_Call : m_Device.m_Calls) {
        if (l_Call.nCode != storage::kQueryProperty) {
            EXPECT_EQ(l_Call.nDrive, 1) << std::hex << l_Call.nCode;
        }
    }
    EXPECT_EQ(m_Device.CallsOf(smart::kReceiveDriveData).size(), 1u);
    EXPECT_EQ(l_Disk.m_NvmeDrives, (std::set<std::uint8_t>{0}));
    EXPECT_TRUE(l_Disk.m_bDriveFound);
    EXPECT_TRUE(l_Disk.IsNvme());
    EXPECT_TRUE(m_Device.m_OpenHandles.empty());
}

TEST_F(NvmeReaderTest, UpdateTakesDriveZerosPageInsteadOfItsAttributes)
{
    AddNvme(0, 70000);
    ProbedHarddisk l_Disk(L"", L"");
    EXPECT_EQ(l_Disk.Source(), DiskSource::None);
    l_Disk.Update();
    EXPECT_EQ(l_Disk.Source(), DiskSource::Nvme);
    EXPECT_EQ(l_Disk.m_NvmeHealth.PowerOnHours, 70000);  // full width, not the low 16 bits
    EXPECT_EQ(l_Disk.m_NvmeHealth.MediaErrors, 4);
    EXPECT_EQ(l_Disk.m_NvmeHealth.CriticalWarning, 0x02);
    EXPECT_EQ(l_Disk.m_NvmeHealth.PercentageUsed, 91);
    EXPECT_EQ(l_Disk.m_NvmeHealth.Temperature, 37);
    for (const auto& l_Attribute : l_Disk.m_Attributes) {
        EXPECT_EQ(l_Attribute.RawValue, 0);
    }

    // An answer that fails the checks reads as no data: the page's values go to 0, the drive
    // stays an NVMe drive and is still read in the next cycle.
    m_Device.AddDrive(0).nHealthBytes = 559;
    l_Disk.Update();
    EXPECT_EQ(l_Disk.Source(), DiskSource::None);
    EXPECT_TRUE(l_Disk.IsNvme());
    EXPECT_EQ(l_Disk.m_NvmeHealth.PowerOnHours, 0);
    EXPECT_EQ(l_Disk.m_NvmeHealth.Temperature, 0);
    m_Device.AddDrive(0).nHealthBytes.reset();
    l_Disk.Update();
    EXPECT_EQ(l_Disk.m_NvmeHealth.PowerOnHours, 70000);
}

TEST_F(NvmeReaderTest, ScriptedAnswersAreCheckedBeforeThePageIsRead)
{
    auto& l_Drive = AddNvme(0, 99);
    ProbedHarddisk l_Disk(L"", L"");

    std::vector<std::uint8_t> l_Good(storage::kHealthAnswerSize);
    storage::EncodeHealthAnswer(l_Good.data(), l_Drive.Page.data());
    auto With = [&l_Good](std::size_t p_nAt, std::uint32_t p_nValue) {
        std::vector<std::uint8_t> l_Answer = l_Good;
        le::Store32(l_Answer.data() + p_nAt, p_nValue);
        return l_Answer;
    };
    const std::vector<std::vector<std::uint8_t>> l_Bad = {
        std::vector<std::uint8_t>(l_Good.begin(), l_Good.begin() + 47),  // short
        With(8 + storage::kDataOffsetOffset, 42),                        // misaligned
        With(8 + storage::kDataOffsetOffset, 48),                        // page past the end
        With(8 + storage::kDataLengthOffset, 4096),                      // oversized
        With(4, 4096),                                                   // descriptor too large
        With(8 + storage::kProtocolTypeOffset, storage::kProtocolTypeNvme - 1),
        With(8 + storage::kDataTypeOffset, storage::kNvmeDataTypeLogPage + 1),
        With(8 + storage::kDataLengthOffset, 256),  // a short page
    };
    for (std::size_t i = 0; i < l_Bad.size(); ++i) {
        m_Device.AddDrive(0).HealthAnswer = l_Bad[i];
        l_Disk.Update();
        EXPECT_EQ(l_Disk.Source(), DiskSource::None) << i;
        EXPECT_TRUE(l_Disk.m_HealthPages.empty()) << i;
    }
    // A driver that claims more bytes than the buffer has is read only within the buffer.
    m_Device.AddDrive(0).HealthAnswer = l_Good;
    m_Device.AddDrive(0).nHealthBytes = 0xFFFFFFFFu;
    l_Disk.Update();
    EXPECT_EQ(l_Disk.Source(), DiskSource::Nvme);
    EXPECT_EQ(l_Disk.m_NvmeHealth.PowerOnHours, 99);
    // A failing query.
    m_Device.AddDrive(0).nHealthResult = 0;
    l_Disk.Update();
    EXPECT_EQ(l_Disk.Source(), DiskSource::None);
}

TEST_F(NvmeReaderTest, OtherBusesAndDriversWithoutTheQueryKeepTheAtaPath)
{
    // A SATA drive, a drive whose driver fails the query and one answering a short descriptor.
    m_Device.AddDrive(0).nBusType = storage::kBusTypeSata;
    m_Device.AddDrive(1);
    ProbedHarddisk l_Disk(L"", L"");
    EXPECT_EQ(m_Device.CallsOf(storage::kQueryProperty).size(), 2u);
    EXPECT_EQ(m_Device.CallsOf(smart::kReceiveDriveData, smart::kFeatureReadAttributes).size(), 2u);
    EXPECT_TRUE(l_Disk.m_NvmeDrives.empty());
    EXPECT_FALSE(l_Disk.IsNvme());
    l_Disk.Update();
    EXPECT_EQ(l_Disk.Source(), DiskSource::Ata);
    EXPECT_TRUE(l_Disk.m_HealthPages.empty());
}

TEST_F(NvmeReaderTest, AFailedRefreshKeepsThePageAndTheKindOfDrive)
{
    AddNvme(0, 500);
    ProbedHarddisk l_Disk(L"TarselAdmin", L"pw");
    l_Disk.Update();
    m_Logon.m_bImpersonateSucceeds = false;
    l_Disk.Update();
    EXPECT_EQ(l_Disk.Source(), DiskSource::None);
    EXPECT_TRUE(l_Disk.IsNvme());
    EXPECT_EQ(l_Disk.m_NvmeHealth.PowerOnHours, 500);
    // The page is read under the account's identity, as the attributes are.
    EXPECT_EQ(m_Logon.m_nImpersonations, 3);
}

TEST_F(NvmeReaderTest, LogsTheSourceWhenFirstKnownAndWhenItChanges)
{
    auto& l_Drive = AddNvme(0, 1);
    ProbedHarddisk l_Disk(L"", L"");
    fakes::LogCapture l_Log(0);
    l_Disk.Update();
    l_Disk.Update();
    l_Drive.nHealthResult = 0;
    l_Disk.Update();
    l_Disk.Update();
    l_Drive.nHealthResult = 1;
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
    m_Device.AddDrive(0);
    ProbedHarddisk l_Disk(L"", L"");
    fakes::LogCapture l_Log(0);
    l_Disk.Update();
    l_Disk.Update();
    m_Device.RemoveDrive(0);
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
