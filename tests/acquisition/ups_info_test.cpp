#include "acquisition/ups_info.h"

#include <gtest/gtest.h>

#include <string>

#include "errors/exceptions.h"
#include "fakes/memory_profile.h"
#include "standins/memory_event_log.h"
#include "standins/memory_registry.h"
#include "platform/seam.h"
#include "settings/settings.h"
#include "support/registry.h"

namespace {

using MBDataAquisition::UpsInfo;

const wchar_t* const kStatusKey = L"SYSTEM\\CurrentControlSet\\Services\\UPS\\Status";

// The UPS source over an in-memory event log, registry and values file.
class UpsInfoTest : public testing::Test {
protected:
    UpsInfoTest()
        : m_UseLog(m_Log), m_UseRegistry(m_Registry), m_UseProfile(m_Profile),
          m_strValuesFile(ResolvePath(L"%temp%\\VexaValues.ini", L"c:\\temp\\VexaValues.ini"))
    {
        SetStatus(0, 80);
    }

    void SetStatus(std::uint32_t flags, std::uint32_t capacity)
    {
        CRegistry writer;
        ASSERT_TRUE(writer.ConnectRoot(platform::kHkeyLocalMachine, nullptr));
        ASSERT_TRUE(writer.CreateKey(kStatusKey, nullptr, 0, platform::kKeyAllAccess, nullptr,
                                     nullptr));
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

    const std::wstring* Current(const std::wstring& key) const
    {
        return m_Profile.Find(m_strValuesFile, L"VEXA_CURRENT", key);
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
}

TEST_F(UpsInfoTest, EmptyLogAndReadableRegistryGiveAFullCharge)
{
    m_Ups.Update();
    EXPECT_EQ(1000, m_Ups.GetWorkingValue());
    EXPECT_EQ(100, m_Ups.GetChargeState());
    EXPECT_EQ(80, m_Ups.m_nBatteryCapacity);
    EXPECT_EQ(0u, m_Profile.writes);
}

TEST_F(UpsInfoTest, OneFailureAfterTheLastResetWritesNoMessage)
{
    for (std::uint32_t id : {69u, 69u, 67u, 69u}) {
        Append(id);
    }
    m_Ups.Update();
    EXPECT_EQ(100, m_Ups.GetChargeState());
    EXPECT_EQ(0u, m_Profile.writes);
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
    const std::size_t writes = m_Profile.writes;
    Append(69);
    m_Ups.Update();
    m_Ups.Update();
    EXPECT_EQ(80, m_Ups.GetChargeState());
    EXPECT_EQ(writes, m_Profile.writes);

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
    Append(69, 2);                        // warning
    Append(69, 1);                        // error
    Append(69, 4, L"Service Control Manager");
    Append(69, 4, L"twincat");            // the words are case-sensitive
    Append(0x40000045);                   // severity bits: not exactly 69
    Append(69, 4, L"TcEventLogger");      // counts: contains "EventLog"
    m_Ups.Update();
    EXPECT_EQ(100, m_Ups.GetChargeState());
    EXPECT_EQ(0u, m_Profile.writes);
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
}

TEST_F(UpsInfoTest, UnopenableLogThrowsBeforeTheRegistryIsRead)
{
    m_Log.SetOpenable(false);
    try {
        m_Ups.Update();
        FAIL() << "no exception";
    } catch (const err::UpsInfoException& e) {
        EXPECT_EQ(1u, e.GetErrNo());
        EXPECT_EQ(L"Could not open the Application event log.", e.GetMessage());
        EXPECT_EQ(L"MBDataAquisition::UpsInfo::EvalEventLog  line: 75", e.GetLocation());
    }
    EXPECT_EQ(0, m_Ups.GetChargeState());  // the registry was not read
    EXPECT_EQ(0, m_Ups.m_nBatteryCapacity);
}

// A log whose oldest record cannot be determined.
class NoOldestRecord : public platform::EventLog {
public:
    explicit NoOldestRecord(platform::EventLog& log) : m_Log(log) {}
    platform::EventLogHandle Open(const std::wstring& name) override { return m_Log.Open(name); }
    bool Close(platform::EventLogHandle log) override
    {
        ++closed;
        return m_Log.Close(log);
    }
    bool GetOldestRecord(platform::EventLogHandle, std::uint32_t&) override { return false; }
    bool GetNumberOfRecords(platform::EventLogHandle log, std::uint32_t& count) override
    {
        return m_Log.GetNumberOfRecords(log, count);
    }
    bool Read(platform::EventLogHandle log, std::uint32_t flags, std::uint32_t offset,
              void* buffer, std::uint32_t bytes, std::uint32_t& read,
              std::uint32_t& needed) override
    {
        return m_Log.Read(log, flags, offset, buffer, bytes, read, needed);
    }
    int closed = 0;

private:
    platform::EventLog& m_Log;
};

TEST_F(UpsInfoTest, LogWithoutOldestRecordThrowsAndIsClosed)
{
    NoOldestRecord log(m_Log);
    platform::Substitute<platform::EventLog> use(log);
    try {
        m_Ups.Update();
        FAIL() << "no exception";
    } catch (const err::UpsInfoException& e) {
        EXPECT_EQ(1u, e.GetErrNo());
        EXPECT_EQ(L"Record not found!", e.GetMessage());
        EXPECT_EQ(L"MBDataAquisition::UpsInfo::EvalEventLog  line: 85", e.GetLocation());
    }
    EXPECT_EQ(1, log.closed);
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
