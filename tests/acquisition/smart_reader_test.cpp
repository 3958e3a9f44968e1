#include "acquisition/smart_reader.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "acquisition/harddisk.h"
#include "common/thrown_message.h"
#include "standins/drive_bay.h"
#include "fakes/fake_logon.h"
#include "fakes/log_capture.h"
#include "platform/ata_commands.h"
#include "platform/seam.h"

namespace diag {
namespace {

namespace ata = platform::ata;

using MBDataAquisition::CounterState;
using MBDataAquisition::Harddisk;
using vexa_test::MessageOf;

class SmartReaderTest : public testing::Test {
protected:
    void SetUp() override { SmartReader::ForgetAutoOffline(); }
    void TearDown() override { SmartReader::ForgetAutoOffline(); }

    platform::DriveBay m_Device;
    fakes::FakeLogon m_Logon;
    platform::Substitute<platform::DiskDevice> m_DeviceSubstitute{m_Device};
    platform::Substitute<platform::Logon> m_LogonSubstitute{m_Logon};
};

// The SMART commands of one drive, as (feature, count, LBA low) of each, in order.
std::vector<std::array<int, 3>> SmartCommands(const platform::DriveBay& p_Device,
                                              std::uint32_t p_nDrive, int p_nFeature = -1)
{
    std::vector<std::array<int, 3>> l_Commands;
    for (const auto& l_Call : p_Device.AtaCalls()) {
        const platform::AtaRegisters& r = l_Call.registers;
        if (l_Call.drive == p_nDrive && r.command == ata::kSmart &&
            (p_nFeature < 0 || r.features == p_nFeature)) {
            l_Commands.push_back({r.features, r.sectorCount, r.lbaLow});
        }
    }
    return l_Commands;
}

// The reader counts a drive as found: only then does Refresh read the drives again.
bool ReadsAgain(SmartReader& p_Reader, const platform::DriveBay& p_Device)
{
    const std::size_t l_nOpened = p_Device.Opened().size();
    p_Reader.Refresh();
    return p_Device.Opened().size() > l_nOpened;
}

TEST_F(SmartReaderTest, SendsTheCommandsWithTheirExactRegisters)
{
    m_Device.Drive(0);
    m_Device.Drive(1);
    SmartReader l_Reader(L"", L"");

    // Every SMART command carries the signature and the device register. Both drives are
    // enabled and read (the off-line command goes to drive 0 only: it accepted); the system disk
    // is also asked for its status, thresholds and Device Statistics (READ LOG EXT first, then
    // SMART READ LOG of page 0 of log 04h).
    for (const auto& l_Call : m_Device.AtaCalls()) {
        SCOPED_TRACE(static_cast<int>(l_Call.registers.features));
        if (l_Call.registers.command == ata::kReadLogExt) {
            EXPECT_EQ(l_Call.drive, 0u);
            continue;
        }
        EXPECT_EQ(l_Call.registers.lbaMid, 0x4F);
        EXPECT_EQ(l_Call.registers.lbaHigh, 0xC2);
        EXPECT_EQ(l_Call.registers.device, 0xA0);
        EXPECT_EQ(l_Call.registers.command, 0xB0);
        const bool l_bData = l_Call.registers.features == 0xD0 ||
                             l_Call.registers.features == 0xD1 || l_Call.registers.features == 0xD5;
        EXPECT_EQ(l_Call.dataSize, l_bData ? 512u : 0u);
    }
    using Commands = std::vector<std::array<int, 3>>;
    EXPECT_EQ(SmartCommands(m_Device, 0), (Commands{{0xD8, 1, 1},
                                                    {0xDB, 0xF8, 1},
                                                    {0xD0, 1, 1},
                                                    {0xDA, 0, 1},
                                                    {0xD1, 1, 1},
                                                    {0xD5, 1, 4}}));
    EXPECT_EQ(SmartCommands(m_Device, 1), (Commands{{0xD8, 1, 1}, {0xD0, 1, 1}}));
    EXPECT_NO_THROW(l_Reader.GetSmartValue(0, 0));
    EXPECT_NO_THROW(l_Reader.GetSmartValue(0, 1));
    EXPECT_TRUE(ReadsAgain(l_Reader, m_Device));
}

TEST_F(SmartReaderTest, OpensBothDrivesAndClosesEveryHandle)
{
    m_Device.Drive(0);
    SmartReader l_Reader(L"", L"");
    EXPECT_EQ(m_Device.Opened(),
              (std::vector<std::wstring>{L"\\\\.\\PHYSICALDRIVE0", L"\\\\.\\PHYSICALDRIVE1"}));
    EXPECT_EQ(m_Device.OpenHandles(), 0u);
    EXPECT_TRUE(ReadsAgain(l_Reader, m_Device));
}

// A drive counts as found once SMART is enabled, and has a table once it gave its attributes; a
// drive that refuses ENABLE is asked nothing more.
TEST_F(SmartReaderTest, ADriveIsFoundOnceEnabledAndHasATableOnceRead)
{
    struct Case {
        const char* what;
        std::uint8_t abortedFeature;  // by drive 0; drive 1 reports a driver error
        bool found;
        bool onlyEnable;  // drive 0 received no SMART command but ENABLE
    };
    const Case cases[] = {
        {"ENABLE aborted", ata::kEnable, false, true},
        {"READ ATTRIBUTES aborted", ata::kReadAttributes, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        platform::DriveBay l_Device;
        l_Device.Drive(0).abortedFeatures.insert(c.abortedFeature);
        l_Device.Drive(1).behaviour.driverError = true;
        const platform::Substitute<platform::DiskDevice> l_UseDevice{l_Device};
        SmartReader l_Reader(L"", L"");
        EXPECT_EQ(SmartCommands(l_Device, 0).size() == 1, c.onlyEnable);
        EXPECT_EQ(MessageOf([&] { l_Reader.GetSmartValue(0, 0); }), "Invalid drive index!");
        EXPECT_EQ(MessageOf([&] { l_Reader.GetSmartValue(0, 1); }), "Invalid drive index!");
        EXPECT_EQ(ReadsAgain(l_Reader, l_Device), c.found);
    }
}

TEST_F(SmartReaderTest, RefreshReadsOnlyOnceADriveWasFound)
{
    SmartReader l_Reader(L"", L"");
    EXPECT_EQ(m_Device.Opened().size(), 2u);
    m_Device.Drive(0);
    l_Reader.Refresh();
    EXPECT_EQ(m_Device.Opened().size(), 2u);
    l_Reader.Init();
    l_Reader.Refresh();
    EXPECT_EQ(m_Device.Opened().size(), 6u);
    EXPECT_TRUE(ReadsAgain(l_Reader, m_Device));
}

TEST_F(SmartReaderTest, ChecksTheAttributeIdBeforeTheDrive)
{
    SmartReader l_Reader(L"", L"");
    EXPECT_EQ(MessageOf([&] { l_Reader.GetSmartValue(256, 0); }), "Invalid S.M.A.R.T. index!");
    EXPECT_EQ(MessageOf([&] { l_Reader.GetSmartValue(255, 0); }), "Invalid drive index!");
}

TEST_F(SmartReaderTest, AMissingAttributeLogsTheTableThenThrows)
{
    m_Device.Drive(0);  // all 30 entries hold ID 0
    SmartReader l_Reader(L"", L"");
    {
        fakes::LogCapture l_Log(0);
        EXPECT_EQ(MessageOf([&] { l_Reader.GetSmartValue(9, 0); }), "Invalid S.M.A.R.T. value!");
        const std::string l_strLog = l_Log.Normalized(true);
        EXPECT_NE(l_strLog.find("diag::SmartReader::GetSmartValue  line: N\t\tp_idxValue\t9\r\n"),
                  std::string::npos)
            << l_strLog;
        EXPECT_EQ(l_strLog.find("Index"), std::string::npos);
    }
    {
        fakes::LogCapture l_Log(3);
        EXPECT_EQ(MessageOf([&] { l_Reader.GetSmartValue(5, 0); }), "Invalid S.M.A.R.T. value!");
        const std::string l_strLog = l_Log.Normalized(true);
        EXPECT_NE(l_strLog.find("p_idxValue\t5\r\n"), std::string::npos) << l_strLog;
        const auto l_nIndex = l_strLog.find("GetSmartValue  line: N\t\tIndex\t0\r\n");
        const auto l_nValue = l_strLog.find("GetSmartValue  line: N\t\tValue\t0\r\n");
        EXPECT_NE(l_nIndex, std::string::npos) << l_strLog;
        EXPECT_NE(l_nValue, std::string::npos);
        EXPECT_LT(l_nIndex, l_nValue);
        EXPECT_EQ(l_strLog.find("Index", l_nValue), std::string::npos);  // one pair only
    }
}

TEST_F(SmartReaderTest, AutomaticOfflineIsEnabledOncePerProcess)
{
    m_Device.Drive(0).abortedFeatures.insert(platform::ata::kAutoOffline);
    m_Device.Drive(1).abortedFeatures.insert(platform::ata::kAutoOffline);
    SmartReader l_Reader(L"", L"");
    auto l_Offline = [&] {
        return SmartCommands(m_Device, 0, ata::kAutoOffline).size() +
               SmartCommands(m_Device, 1, ata::kAutoOffline).size();
    };
    EXPECT_EQ(l_Offline(), 2u);
    l_Reader.Refresh();
    EXPECT_EQ(l_Offline(), 4u);
    m_Device.Drive(0).abortedFeatures.erase(platform::ata::kAutoOffline);
    l_Reader.Refresh();
    EXPECT_EQ(l_Offline(), 5u);  // drive 0 accepted: drive 1 is not asked
    l_Reader.Refresh();
    SmartReader l_Another(L"", L"");
    EXPECT_EQ(l_Offline(), 5u);
    EXPECT_TRUE(ReadsAgain(l_Another, m_Device));
}

TEST_F(SmartReaderTest, ReadsUnderTheAccountAndLogsNoPassword)
{
    // Opening a drive must happen while the account is impersonated.
    class CheckingDevice : public platform::DriveBay {
    public:
        explicit CheckingDevice(fakes::FakeLogon& p_Logon) : m_Logon(p_Logon) {}
        platform::Handle Open(const std::wstring& p_strPath) override
        {
            m_Impersonated.push_back(m_Logon.m_bImpersonating);
            return DriveBay::Open(p_strPath);
        }
        fakes::FakeLogon& m_Logon;
        std::vector<bool> m_Impersonated;
    } l_Device(m_Logon);
    l_Device.Drive(0);
    platform::Substitute<platform::DiskDevice> l_Substitute(l_Device);

    fakes::LogCapture l_Log(10);
    SmartReader l_Reader(L"TarselAdmin", L"s3cr3t!");
    EXPECT_EQ(l_Device.m_Impersonated, (std::vector<bool>{true, true}));
    EXPECT_FALSE(m_Logon.m_bImpersonating);
    ASSERT_EQ(m_Logon.m_Logons.size(), 1u);
    EXPECT_EQ(m_Logon.m_Logons[0].second, L"s3cr3t!");

    const std::string l_strLog = l_Log.Normalized(true);
    EXPECT_NE(l_strLog.find("diag::SmartReader::Init  line: N\t\tUsername\tTarselAdmin\r\n"),
              std::string::npos)
        << l_strLog;
    EXPECT_NE(l_strLog.find("diag::SmartReader::Init  line: N\t\tm_strPassword\t********\r\n"),
              std::string::npos);
    EXPECT_EQ(l_strLog.find("s3cr3t"), std::string::npos);
}

TEST_F(SmartReaderTest, WithoutAccountReadsAsItself)
{
    m_Device.Drive(0);
    fakes::LogCapture l_Log(10);
    SmartReader l_Reader(L"", L"");
    EXPECT_TRUE(m_Logon.m_Logons.empty());
    EXPECT_EQ(m_Logon.m_nImpersonations, 0);
    EXPECT_EQ(m_Logon.m_nReverts, 0);
    EXPECT_TRUE(ReadsAgain(l_Reader, m_Device));
    EXPECT_NE(l_Log.Normalized(true).find("m_strPassword\t\r\n"), std::string::npos);
}

class HarddiskTest : public SmartReaderTest {
protected:
    void PutWatched(int p_nDrive, std::uint64_t p_nHours)
    {
        auto& l_Block = m_Device.Drive(p_nDrive).attributes;
        l_Block = {};
        platform::PutAttribute(l_Block, 0, 5, 0x33, 100, 100, 4);
        platform::PutAttribute(l_Block, 1, 9, 0x32, 90, 80, p_nHours);
        platform::PutAttribute(l_Block, 2, 196, 0x32, 100, 100, 2);
        platform::PutAttribute(l_Block, 3, 197, 0x12, 100, 100, 3);
        platform::PutAttribute(l_Block, 29, 198, 0x10, 100, 100, 1);
    }
};

TEST_F(HarddiskTest, FillsTheCountersFromDriveZerosAttributes)
{
    using Counters = std::array<std::int32_t, 5>;
    PutWatched(0, 70000);
    Harddisk l_Disk(L"", L"");
    EXPECT_EQ(l_Disk.Health().counters, Counters{});
    l_Disk.Update();
    EXPECT_EQ(l_Disk.Health().counters, (Counters{70000, 1, 2, 3, 4}));
    EXPECT_EQ(l_Disk.Health().counterStates[3], CounterState::Read);

    // Attribute 197 disappears: its slot alone reads 0, unread.
    platform::PutAttribute(m_Device.Drive(0).attributes, 3, 0, 0, 0, 0, 0);
    l_Disk.Update();
    EXPECT_EQ(l_Disk.Health().counters, (Counters{70000, 1, 2, 0, 4}));
    EXPECT_EQ(l_Disk.Health().counterStates[3], CounterState::Unread);
    EXPECT_EQ(l_Disk.Health().counterStates[4], CounterState::Read);
}

TEST_F(HarddiskTest, OnlyDriveOneGivesZeros)
{
    PutWatched(1, 100);
    Harddisk l_Disk(L"", L"");
    l_Disk.Update();
    l_Disk.Update();
    EXPECT_TRUE(ReadsAgain(l_Disk, m_Device));
    EXPECT_EQ(l_Disk.Health().counters, (std::array<std::int32_t, 5>{}));
}

TEST_F(HarddiskTest, LogsOnOnceForItsWholeLife)
{
    PutWatched(0, 1000);
    {
        Harddisk l_Disk(L"TarselAdmin", L"pw");
        for (int i = 0; i < 3; ++i) {
            l_Disk.Update();
        }
        EXPECT_EQ(m_Logon.m_Logons.size(), 1u);
        EXPECT_EQ(m_Logon.m_nImpersonations, 4);
        EXPECT_EQ(m_Logon.m_nReverts, 4);
        EXPECT_EQ(m_Logon.m_OpenTokens.size(), 1u);
    }
    EXPECT_TRUE(m_Logon.m_OpenTokens.empty());
}

// A password that does not log on costs the rights, not the disk: it is read without them. An
// impersonation that fails still ends the start.
TEST_F(HarddiskTest, AFailedLogonReadsWithoutRightsAFailedImpersonationLeavesTheConstructor)
{
    PutWatched(0, 1000);
    m_Logon.m_bLogonSucceeds = false;
    m_Device.SetAdministrator(false);
    {
        const fakes::LogCapture l_Log(0);
        MBDataAquisition::Harddisk l_Disk(L"TarselAdmin", L"bad");
        l_Disk.Update();
        EXPECT_EQ(l_Disk.Health().access, MBDataAquisition::DiskAccess::WithoutRights);
        EXPECT_EQ(l_Disk.Health().counters[0], 1000);
        EXPECT_NE(l_Log.Normalized(true).find(
                      " ** diag::SmartReader::SmartReader  line: N\t\tUnable to log on! The disks "
                      "are read with the runtime's own rights.\r\n"),
                  std::string::npos)
            << l_Log.Normalized(true);
        EXPECT_EQ(m_Logon.m_nImpersonations, 0);
        EXPECT_TRUE(l_Disk.LogonFailed());
    }
    m_Device.SetAdministrator(true);
    m_Logon.m_bLogonSucceeds = true;
    m_Logon.m_bImpersonateSucceeds = false;
    EXPECT_EQ(MessageOf([] { MBDataAquisition::Harddisk l_Disk(L"TarselAdmin", L"pw"); }),
              "Impersonation failed!");
    EXPECT_TRUE(m_Logon.m_OpenTokens.empty());
}

TEST_F(HarddiskTest, AFailedRefreshKeepsTheRecords)
{
    PutWatched(0, 1000);
    Harddisk l_Disk(L"TarselAdmin", L"pw");
    l_Disk.Update();
    ASSERT_EQ(l_Disk.Health().counters[0], 1000);

    fakes::LogCapture l_Log(0);
    m_Logon.m_bImpersonateSucceeds = false;
    l_Disk.Update();
    EXPECT_EQ(l_Disk.Health().counters[0], 1000);
    EXPECT_EQ(l_Disk.Health().counters[4], 4);
    EXPECT_EQ(MessageOf([&] { l_Disk.GetSmartValue(9, 0); }), "Invalid drive index!");
    EXPECT_NE(l_Log.Normalized(true).find(
                  " ** MBDataAquisition::Harddisk::Update  line: N\t\tRefresh failed!\r\n"),
              std::string::npos)
        << l_Log.Normalized(true);
    EXPECT_EQ(m_Logon.m_Logons.size(), 1u);

    m_Logon.m_bImpersonateSucceeds = true;
    PutWatched(0, 1001);
    l_Disk.Update();
    EXPECT_EQ(l_Disk.Health().counters[0], 1001);
}

// How often `p_strNeedle` occurs in `p_strText`.
int Occurrences(const std::string& p_strText, const std::string& p_strNeedle)
{
    int l_nCount = 0;
    for (auto l_nPos = p_strText.find(p_strNeedle); l_nPos != std::string::npos;
         l_nPos = p_strText.find(p_strNeedle, l_nPos + 1)) {
        ++l_nCount;
    }
    return l_nCount;
}

// A drive without one of the watched attributes (many SSDs lack 198): the level-0 line is
// written when the attribute goes missing, not every cycle; its return is logged once, and it is
// told again when it goes missing again.
TEST_F(HarddiskTest, AMissingAttributeIsLoggedOnceUntilItComesBack)
{
    auto l_PutWithout198 = [this] {
        PutWatched(0, 1000);
        platform::PutAttribute(m_Device.Drive(0).attributes, 29, 0, 0, 0, 0, 0);
    };
    l_PutWithout198();
    Harddisk l_Disk(L"", L"");
    fakes::LogCapture l_Log(0);
    const std::string l_strLine = "GetSmartValue  line: N\t\tp_idxValue\t198\r\n";
    for (int i = 0; i < 3; ++i) {
        l_Disk.Update();
        EXPECT_EQ(l_Disk.Health().counters[1], 0);
        EXPECT_EQ(l_Disk.Health().counters[0], 1000);
    }
    EXPECT_EQ(Occurrences(l_Log.Normalized(true), l_strLine), 1) << l_Log.Normalized(true);

    PutWatched(0, 1000);
    l_Disk.Update();
    l_Disk.Update();
    EXPECT_EQ(l_Disk.Health().counters[1], 1);
    EXPECT_EQ(Occurrences(l_Log.Normalized(true), "S.M.A.R.T. attribute 198 of drive 0 is back"), 1)
        << l_Log.Normalized(true);
    l_PutWithout198();
    l_Disk.Update();
    l_Disk.Update();
    EXPECT_EQ(l_Disk.Health().counters[1], 0);
    const std::string l_strLog = l_Log.Normalized(true);
    EXPECT_EQ(Occurrences(l_strLog, l_strLine), 2) << l_strLog;
    EXPECT_EQ(Occurrences(l_strLog, "p_idxValue"), 2) << l_strLog;  // no other attribute
}

TEST_F(HarddiskTest, ARefreshThatKeepsFailingIsLoggedOncePerRunOfFailures)
{
    PutWatched(0, 1000);
    Harddisk l_Disk(L"TarselAdmin", L"pw");
    fakes::LogCapture l_Log(0);
    const std::string l_strLine = "Harddisk::Update  line: N\t\tRefresh failed!\r\n";
    m_Logon.m_bImpersonateSucceeds = false;
    for (int i = 0; i < 3; ++i) {
        l_Disk.Update();
    }
    EXPECT_EQ(Occurrences(l_Log.Normalized(true), l_strLine), 1);
    m_Logon.m_bImpersonateSucceeds = true;
    l_Disk.Update();
    EXPECT_EQ(l_Disk.Health().counters[0], 1000);
    m_Logon.m_bImpersonateSucceeds = false;
    l_Disk.Update();
    l_Disk.Update();
    EXPECT_EQ(Occurrences(l_Log.Normalized(true), l_strLine), 2) << l_Log.Normalized(true);
}

TEST_F(HarddiskTest, TellsWhetherTheLastUpdateReadDriveZerosTable)
{
    using MBDataAquisition::DiskSource;
    PutWatched(0, 1000);
    Harddisk l_Disk(L"TarselAdmin", L"pw");
    EXPECT_EQ(l_Disk.Health().source, DiskSource::None);  // nothing updated yet
    l_Disk.Update();
    EXPECT_EQ(l_Disk.Health().source, DiskSource::Ata);

    // A read that fails leaves drive 0 without a table, though it is still counted.
    m_Device.Drive(0).abortedFeatures.insert(platform::ata::kReadAttributes);
    l_Disk.Update();
    EXPECT_EQ(l_Disk.Health().source, DiskSource::None);
    m_Device.Drive(0).abortedFeatures.clear();
    l_Disk.Update();
    EXPECT_EQ(l_Disk.Health().source, DiskSource::Ata);

    // A failed refresh read nothing, though the records keep their values.
    m_Logon.m_bImpersonateSucceeds = false;
    l_Disk.Update();
    EXPECT_EQ(l_Disk.Health().source, DiskSource::None);
    EXPECT_EQ(l_Disk.Health().counters[0], 1000);
    m_Logon.m_bImpersonateSucceeds = true;

    // Drive 1 alone is no source of drive 0's values.
    m_Device.Remove(0);
    PutWatched(1, 5);
    l_Disk.Update();
    EXPECT_EQ(l_Disk.Health().source, DiskSource::None);
}

}  // namespace
}  // namespace diag
