#include "acquisition/ups_info.h"

#include <gtest/gtest.h>

#include <string>

#include "fakes/faulty_event_log.h"
#include "fakes/log_capture.h"
#include "fakes/memory_profile.h"
#include "standins/memory_event_log.h"
#include "standins/memory_registry.h"
#include "platform/last_error.h"
#include "platform/seam.h"
#include "settings/settings.h"
#include "support/registry.h"
#include "settings/values_file_writer.h"

namespace {

using MBDataAquisition::UpsInfo;

const wchar_t* const kStatusKey = L"SYSTEM\\CurrentControlSet\\Services\\UPS\\Status";

// The UPS source over an in-memory event log, registry and values file.
class UpsInfoTest : public testing::Test {
protected:
    UpsInfoTest()
        : m_UseLog(m_Log),
          m_UseRegistry(m_Registry),
          m_UseProfile(m_Profile),
          m_strValuesFile(ResolvePath(L"%temp%\\VexaValues.ini", L"c:\\temp\\VexaValues.ini"))
    {
        ValuesFileWriter::Instance().Forget();
        SetStatus(0, 80);
    }

    void SetStatus(std::uint32_t flags, std::uint32_t capacity)
    {
        CRegistry writer;
        ASSERT_TRUE(writer.ConnectRoot(platform::kHkeyLocalMachine, nullptr));
        ASSERT_TRUE(
            writer.CreateKey(kStatusKey, nullptr, 0, platform::kKeyAllAccess, nullptr, nullptr));
        ASSERT_TRUE(writer.WriteDword(L"TcChargeFlags", flags));
        ASSERT_TRUE(writer.WriteDword(L"BatteryCapacity", capacity));
    }

    void RemoveStatus()
    {
        CRegistry writer;
        ASSERT_TRUE(writer.ConnectRoot(platform::kHkeyLocalMachine, nullptr));
        ASSERT_TRUE(writer.DeleteKey(kStatusKey));
    }

    void Append(std::uint32_t id, std::uint16_t type = 4, const wchar_t* source = L"TwinCAT")
    {
        m_Log.Append(type, id, source);
    }

    ~UpsInfoTest() override { ValuesFileWriter::Instance().Forget(); }

    // The values file as the cycle's end writes it.
    const std::wstring* Current(const std::wstring& key)
    {
        ValuesFileWriter::Instance().Flush(m_strValuesFile);
        return m_Profile.Find(m_strValuesFile, L"VEXA_CURRENT", key);
    }
    std::size_t Writes()
    {
        ValuesFileWriter::Instance().Flush(m_strValuesFile);
        return m_Profile.writes;
    }

    platform::MemoryEventLog m_Log;
    platform::MemoryRegistry m_Registry;
    fakes::MemoryProfile m_Profile;
    platform::Substitute<platform::EventLog> m_UseLog;
    platform::Substitute<platform::Registry> m_UseRegistry;
    platform::Substitute<platform::Profile> m_UseProfile;
    std::wstring m_strValuesFile;
    UpsInfo m_Ups;
};

TEST_F(UpsInfoTest, StartsWithoutRegistryStatus)
{
    EXPECT_EQ(1000, m_Ups.GetWorkingValue());
    EXPECT_EQ(0, m_Ups.GetChargeState());
    EXPECT_EQ(0, m_Ups.m_nBatteryCapacity);
    EXPECT_EQ(L"Fan P24V250W", m_Ups.GetFanName());
    EXPECT_EQ(L"C9900-U330", m_Ups.GetBatteryName());
    EXPECT_FALSE(m_Ups.IsPresent());
}

TEST_F(UpsInfoTest, EmptyLogAndReadableRegistryGiveAFullCharge)
{
    m_Ups.Update();
    EXPECT_EQ(1000, m_Ups.GetWorkingValue());
    EXPECT_EQ(100, m_Ups.GetChargeState());
    EXPECT_EQ(80, m_Ups.m_nBatteryCapacity);
    EXPECT_EQ(0u, Writes());
    EXPECT_TRUE(m_Ups.IsPresent());
}

TEST_F(UpsInfoTest, OneFailureAfterTheLastResetWritesNoMessage)
{
    for (std::uint32_t id : {69u, 69u, 67u, 69u}) {
        Append(id);
    }
    m_Ups.Update();
    EXPECT_EQ(100, m_Ups.GetChargeState());
    EXPECT_EQ(0u, Writes());
}

TEST_F(UpsInfoTest, RepeatedFailuresWriteTheMessageOncePerRun)
{
    for (std::uint32_t id : {67u, 69u, 69u}) {
        Append(id);
    }
    m_Ups.Update();
    EXPECT_EQ(95, m_Ups.GetChargeState());
    ASSERT_NE(nullptr, Current(L"NO_OF_MESSAGES"));
    EXPECT_EQ(L"1", *Current(L"NO_OF_MESSAGES"));
    ASSERT_NE(nullptr, Current(L"MESSAGE_1"));
    EXPECT_EQ(L"2Shutdown failure!", *Current(L"MESSAGE_1"));
    const std::size_t writes = Writes();
    Append(69);
    m_Ups.Update();
    m_Ups.Update();
    EXPECT_EQ(80, m_Ups.GetChargeState());
    EXPECT_EQ(writes, Writes());

    // A reset empties the message count; the next run writes its message again.
    Append(67);
    m_Ups.Update();
    EXPECT_EQ(L"", *Current(L"NO_OF_MESSAGES"));
    EXPECT_EQ(100, m_Ups.GetChargeState());
    Append(69);
    Append(69);
    m_Ups.Update();
    EXPECT_EQ(L"1", *Current(L"NO_OF_MESSAGES"));
}

TEST_F(UpsInfoTest, TheMessageFollowsTheMessagesAlreadyThere)
{
    m_Profile.entries[{m_strValuesFile, L"VEXA_CURRENT", L"NO_OF_MESSAGES"}] = L"3";
    Append(69);
    Append(69);
    m_Ups.Update();
    EXPECT_EQ(L"4", *Current(L"NO_OF_MESSAGES"));
    ASSERT_NE(nullptr, Current(L"MESSAGE_4"));
    EXPECT_EQ(L"2Shutdown failure!", *Current(L"MESSAGE_4"));
}

TEST_F(UpsInfoTest, ChargeStateFollowsTheNumberOfFailures)
{
    const int expected[] = {100, 100, 95, 80, 55, 20, 0, 0, 0};
    Append(67);
    for (int failures = 0; failures <= 8; ++failures) {
        m_Ups.Update();
        EXPECT_EQ(expected[failures], m_Ups.GetChargeState()) << failures;
        Append(69);
    }
}

TEST_F(UpsInfoTest, IgnoresOtherTypesSourcesAndQualifiedIdentifiers)
{
    Append(67);
    Append(69, 2);  // warning
    Append(69, 1);  // error
    Append(69, 4, L"Service Control Manager");
    Append(69, 4, L"twincat");        // the words are case-sensitive
    Append(0x40000045);               // severity bits: not exactly 69
    Append(69, 4, L"TcEventLogger");  // counts: contains "EventLog"
    m_Ups.Update();
    EXPECT_EQ(100, m_Ups.GetChargeState());
    EXPECT_EQ(0u, Writes());
}

TEST_F(UpsInfoTest, ChargeFlagsSelectTheReadings)
{
    SetStatus(0x100, 50);
    m_Ups.Update();
    EXPECT_EQ(0, m_Ups.GetWorkingValue());
    EXPECT_EQ(100, m_Ups.GetChargeState());
    SetStatus(0x80, 50);
    m_Ups.Update();
    EXPECT_EQ(1000, m_Ups.GetWorkingValue());
    EXPECT_EQ(0, m_Ups.GetChargeState());
    EXPECT_EQ(50, m_Ups.m_nBatteryCapacity);
}

TEST_F(UpsInfoTest, CapacityAboveHundredReadsAsZero)
{
    SetStatus(0, 101);
    m_Ups.Update();
    EXPECT_EQ(0, m_Ups.m_nBatteryCapacity);
    EXPECT_EQ(100, m_Ups.GetChargeState());
}

TEST_F(UpsInfoTest, MissingStatusKeyKeepsTheLastValues)
{
    SetStatus(0x100, 70);
    m_Ups.Update();
    RemoveStatus();
    m_Ups.Update();
    EXPECT_EQ(0, m_Ups.GetWorkingValue());  // follows the last flags
    EXPECT_EQ(0, m_Ups.GetChargeState());
    EXPECT_EQ(70, m_Ups.m_nBatteryCapacity);
    // The readings stay, but the machine has no UPS service any more.
    EXPECT_FALSE(m_Ups.IsPresent());
}

// A message that cannot be written stays pending: the next write of the file puts it in.
TEST_F(UpsInfoTest, AMessageStaysPendingUntilItIsWritten)
{
    m_Profile.failWrites = true;
    Append(69);
    Append(69);
    m_Ups.Update();
    m_Ups.Update();
    EXPECT_EQ(nullptr, Current(L"MESSAGE_1"));
    m_Profile.failWrites = false;
    ASSERT_NE(nullptr, Current(L"MESSAGE_1"));
    EXPECT_EQ(L"2Shutdown failure!", *Current(L"MESSAGE_1"));
    EXPECT_EQ(L"1", *Current(L"NO_OF_MESSAGES"));
    EXPECT_EQ(nullptr, Current(L"MESSAGE_2"));
}

// The log goes missing in the middle of a run of failures and comes back: the cycles without it
// keep the count and the message, read the registry, and the log tells of the loss and the
// return once each.
TEST_F(UpsInfoTest, ALostLogSkipsOnlyTheEventLogAndIsLoggedOnce)
{
    fakes::LogCapture capture(0);
    fakes::FaultyEventLog log(m_Log);
    platform::Substitute<platform::EventLog> use(log);
    UpsInfo ups;  // after the log: it keeps the log open until it goes
    for (std::uint32_t id : {67u, 69u, 69u, 69u}) {
        Append(id);
    }
    ups.Update();
    ASSERT_EQ(80, ups.GetChargeState());
    ASSERT_NE(nullptr, Current(L"NO_OF_MESSAGES"));
    const std::size_t writes = Writes();

    log.m_bGone = true;
    SetStatus(0, 70);
    for (int cycle = 0; cycle < 3; ++cycle) {
        EXPECT_NO_THROW(ups.Update());
        EXPECT_EQ(80, ups.GetChargeState());    // the failures as last counted
        EXPECT_EQ(70, ups.m_nBatteryCapacity);  // the registry is read all the same
    }
    EXPECT_EQ(writes, Writes());  // the message stays, no new one
    EXPECT_EQ(L"1", *Current(L"NO_OF_MESSAGES"));

    log.m_bGone = false;
    Append(67);
    ups.Update();
    ups.Update();
    EXPECT_EQ(100, ups.GetChargeState());
    EXPECT_EQ(L"", *Current(L"NO_OF_MESSAGES"));

    EXPECT_EQ(capture.Normalized(true),
              "\r\nT\tMBDataAquisition::UpsInfo::EvalEventLog  line: N\t\t"
              "Could not open the Application event log. Err No: 2\r\n"
              "\r\nT\tMBDataAquisition::UpsInfo::EvalEventLog  line: N\t\t"
              "The Application event log is read again.\r\n");
    EXPECT_NE(capture.Contents().find("EvalEventLog  line: 75\t\tCould not open"),
              std::string::npos);
}

TEST_F(UpsInfoTest, ALogThatCannotBeOpenedFromTheStartLeavesTheRegistryReadings)
{
    m_Log.SetOpenable(false);
    for (int cycle = 0; cycle < 2; ++cycle) {
        EXPECT_NO_THROW(m_Ups.Update());
    }
    EXPECT_EQ(100, m_Ups.GetChargeState());
    EXPECT_EQ(80, m_Ups.m_nBatteryCapacity);
    EXPECT_EQ(0u, Writes());
}

TEST_F(UpsInfoTest, ALogWithoutOldestRecordIsSkippedClosedAndLoggedOnce)
{
    fakes::LogCapture capture(0);
    fakes::FaultyEventLog log(m_Log);
    log.m_bNoOldestRecord = true;
    platform::Substitute<platform::EventLog> use(log);
    UpsInfo ups;  // after the log: it keeps the log open until it goes
    ups.Update();
    ups.Update();
    EXPECT_EQ(100, ups.GetChargeState());  // the registry was read
    EXPECT_EQ(80, ups.m_nBatteryCapacity);
    EXPECT_EQ(2, log.m_nClosed);  // every handle opened was closed
    EXPECT_EQ(capture.Normalized(),
              "\r\nT\tMBDataAquisition::UpsInfo::EvalEventLog  line: 85\t\t"
              "Record not found! Err No: 6\r\n");
}

// The count, the charge state and the message must not change from one cycle to the next
// because seek reads fail.
TEST_F(UpsInfoTest, FailingSeekReadsLeaveTheReadingsSteady)
{
    fakes::FaultyEventLog log(m_Log);
    log.m_bFailSeeks = true;
    platform::Substitute<platform::EventLog> use(log);
    UpsInfo ups;  // after the log: it keeps the log open until it goes
    for (std::uint32_t id : {67u, 69u, 69u, 69u}) {
        Append(id);
    }
    ups.Update();
    const std::size_t writes = Writes();
    for (int cycle = 0; cycle < 20; ++cycle) {
        ups.Update();
        EXPECT_EQ(80, ups.GetChargeState()) << "cycle " << cycle;
        ASSERT_NE(nullptr, Current(L"NO_OF_MESSAGES"));
        EXPECT_EQ(L"1", *Current(L"NO_OF_MESSAGES")) << "cycle " << cycle;
    }
    EXPECT_EQ(writes, Writes());
}

TEST_F(UpsInfoTest, ARecordLargerThanTheBufferEndsTheScan)
{
    Append(69);
    Append(69);
    m_Log.Append(4, 69, std::wstring(33000, L'T'));
    Append(69);
    m_Ups.Update();
    EXPECT_EQ(95, m_Ups.GetChargeState());
    m_Ups.Update();
    EXPECT_EQ(95, m_Ups.GetChargeState());
}

}  // namespace
