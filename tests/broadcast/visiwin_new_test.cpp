#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "broadcast/broadcast_fixture.h"
#include "broadcast/visiwin_new.h"
#include "data/cycle_rater.h"
#include "data/sensor_fields.h"
#include "errors/exceptions.h"
#include "fakes/log_capture.h"
#include "fakes/scripted_hmi_runtime.h"
#include "settings/settings.h"
#include "settings/values_file_writer.h"

namespace {

using broadcast_test::BroadcastTest;
using MBBroadcast::VisiWinNew;
using Lines = std::vector<std::string>;

// The values-file broadcast with its timers open to the test.
class OpenVisiWinNew : public VisiWinNew {
public:
    using VisiWinNew::m_DurationTimer;
    using VisiWinNew::m_ErrorTimer;
    using VisiWinNew::m_WarningTimer;
    using VisiWinNew::m_WriteTimer;
    using VisiWinNew::VisiWinNew;
};

class VisiWinNewTest : public BroadcastTest {
protected:
    void SetUp() override
    {
        VisiWinNew::ResetWriteCounters();
        // One temperature drives the group state: 50 ok, 70 warning, 80 error against 60.
        BuildList({{L"Fan0"}, {L"Temp0"}, {L"V33"}, true});
        Set(L"Temp0", 50, 60);
    }
    void TearDown() override { VisiWinNew::ResetWriteCounters(); }

    enum class State { Ok, Warning, Error };

    // Sets the state, moves the clock to `p_nSecond` after the start, sends and writes the
    // values file as the cycle's end does; returns "mb_fan_1" afterwards.
    std::int32_t SendAt(VisiWinNew& p_Broadcast, std::int64_t p_nSecond, State p_State)
    {
        Set(L"Temp0", p_State == State::Ok ? 50 : p_State == State::Warning ? 70 : 80, 60);
        m_Clock.Set(kStart + p_nSecond);
        Send(p_Broadcast);
        ValuesFileWriter::Instance().Flush(kValuesFile);
        EXPECT_EQ(m_Runtime.ValueOf(L"mb_fan_1_set"), 101);
        return m_Runtime.ValueOf(L"mb_fan_1").value_or(-1);
    }

    std::wstring Current(const std::wstring& p_strKey) const
    {
        const std::wstring* value = m_Profile.Find(kValuesFile, L"VEXA_CURRENT", p_strKey);
        return value != nullptr ? *value : L"<absent>";
    }

    void SetTimer(const std::wstring& p_strKey, const std::wstring& p_strValue)
    {
        m_Profile.entries[{GetModuleIniPath(), L"Timer", p_strKey}] = p_strValue;
    }

    static constexpr std::int64_t kStart = 1700000000;
};

TEST_F(VisiWinNewTest, ConstructionChecksInThePulseVariablesAndReadsTheTimers)
{
    SetTimer(L"Duration", L"30");
    SetTimer(L"TimeSpanWarning", L"-1");
    m_Clock.Set(kStart);
    OpenVisiWinNew broadcast;
    EXPECT_EQ(Trace(), (Lines{"connect", "checkin mb_fan_1 1", "checkin mb_fan_1_set 2",
                              "set mb_fan_1_set 100"}));
    EXPECT_EQ(broadcast.m_WriteTimer.m_nPeriod, 900);
    EXPECT_TRUE(broadcast.m_WriteTimer.m_bRunning);
    EXPECT_EQ(broadcast.m_WriteTimer.m_nStartTime, kStart);
    EXPECT_EQ(broadcast.m_DurationTimer.m_nPeriod, 30);
    EXPECT_EQ(broadcast.m_WarningTimer.m_nPeriod, 4294967295LL);
    EXPECT_EQ(broadcast.m_ErrorTimer.m_nPeriod, 3600);
    EXPECT_FALSE(broadcast.m_DurationTimer.m_bRunning);
    EXPECT_FALSE(broadcast.m_WarningTimer.m_bRunning);
    EXPECT_FALSE(broadcast.m_ErrorTimer.m_bRunning);
}

TEST_F(VisiWinNewTest, AMissingPulseVariableThrowsCode1AndDisconnects)
{
    m_Runtime.SetKnownNames({L"mb_fan_1"});
    try {
        VisiWinNew broadcast;
        FAIL();
    } catch (const err::VisiWinException& e) {
        EXPECT_EQ(e.GetErrNo(), 1u);
        EXPECT_EQ(e.GetMessage(), L"mb_fan_1_set");
    }
    EXPECT_EQ(Trace(), (Lines{"connect", "checkin mb_fan_1 1", "checkin-failed mb_fan_1_set",
                              "checkout mb_fan_1", "disconnect"}));
}

TEST_F(VisiWinNewTest, VariableNumbersOfZeroThrowCode4OrSetpoints)
{
    fakes::ScriptedHmiRuntime scripted;
    platform::Substitute<platform::HmiRuntime> inPlace(scripted);
    scripted.control().numbers[L"mb_fan_1_set"] = 0;
    try {
        VisiWinNew broadcast;
        FAIL();
    } catch (const err::VisiWinException& e) {
        EXPECT_EQ(e.GetErrNo(), 4u);
        EXPECT_EQ(e.GetMessage(), L"mb_fan_1_set");
    }
    scripted.control().numbers = {{L"mb_fan_1", 0}, {L"mb_fan_1_set", 8}};
    try {
        VisiWinNew broadcast;
        FAIL();
    } catch (const err::VisiWinException& e) {
        EXPECT_EQ(e.GetErrNo(), 3u);
        EXPECT_EQ(e.GetMessage(), L"Setpoints");
        EXPECT_NE(e.GetLocation().find(L"MBBroadcast::VisiWinNew::VisiWinNew"), std::wstring::npos);
    }
}

TEST_F(VisiWinNewTest, AllOkRestsAt101)
{
    VisiWinNew broadcast;
    EXPECT_EQ(SendAt(broadcast, 0, State::Ok), 101);
    EXPECT_EQ(SendAt(broadcast, 10, State::Ok), 101);
}

TEST_F(VisiWinNewTest, AFreshWarningPulses91ForDurationAndRepeatsAfterTheWarningSpan)
{
    m_Clock.Set(kStart);
    VisiWinNew broadcast;
    EXPECT_EQ(SendAt(broadcast, 0, State::Warning), 91);
    for (std::int64_t second = 10; second <= 60; second += 10) {
        EXPECT_EQ(SendAt(broadcast, second, State::Warning), 91) << second;
    }
    EXPECT_EQ(SendAt(broadcast, 70, State::Warning), 101);
    EXPECT_EQ(SendAt(broadcast, 21600, State::Warning), 101);
    EXPECT_EQ(SendAt(broadcast, 21610, State::Warning), 91);
    EXPECT_EQ(SendAt(broadcast, 21670, State::Warning), 91);
    EXPECT_EQ(SendAt(broadcast, 21680, State::Warning), 101);
}

TEST_F(VisiWinNewTest, AFreshErrorPulses1AndRepeatsEveryErrorSpan)
{
    VisiWinNew broadcast;
    EXPECT_EQ(SendAt(broadcast, 0, State::Error), 1);
    EXPECT_EQ(SendAt(broadcast, 60, State::Error), 1);
    EXPECT_EQ(SendAt(broadcast, 61, State::Error), 101);
    EXPECT_EQ(SendAt(broadcast, 3600, State::Error), 101);
    EXPECT_EQ(SendAt(broadcast, 3601, State::Error), 1);
    EXPECT_EQ(SendAt(broadcast, 3662, State::Error), 101);
    EXPECT_EQ(SendAt(broadcast, 7202, State::Error), 1);
}

TEST_F(VisiWinNewTest, WarningToErrorShowsTheErrorButKeepsTheWarningPulsesEnd)
{
    OpenVisiWinNew broadcast;
    EXPECT_EQ(SendAt(broadcast, 0, State::Warning), 91);
    EXPECT_EQ(SendAt(broadcast, 30, State::Error), 1);
    EXPECT_EQ(broadcast.m_DurationTimer.m_nStartTime, kStart);
    EXPECT_FALSE(broadcast.m_WarningTimer.m_bRunning);
    EXPECT_TRUE(broadcast.m_ErrorTimer.m_bRunning);
    EXPECT_EQ(SendAt(broadcast, 60, State::Error), 1);
    EXPECT_EQ(SendAt(broadcast, 61, State::Error), 101);
    EXPECT_EQ(SendAt(broadcast, 3631, State::Error), 1) << "error span counts from the error";
}

TEST_F(VisiWinNewTest, ErrorToWarningBeginsAWarningPulse)
{
    OpenVisiWinNew broadcast;
    EXPECT_EQ(SendAt(broadcast, 0, State::Error), 1);
    EXPECT_EQ(SendAt(broadcast, 70, State::Error), 101);
    EXPECT_EQ(SendAt(broadcast, 80, State::Warning), 91);
    EXPECT_FALSE(broadcast.m_ErrorTimer.m_bRunning);
    EXPECT_EQ(SendAt(broadcast, 140, State::Warning), 91);
    EXPECT_EQ(SendAt(broadcast, 150, State::Warning), 101);
}

TEST_F(VisiWinNewTest, ReturningToOkEndsARunningPulseAtOnce)
{
    OpenVisiWinNew broadcast;
    EXPECT_EQ(SendAt(broadcast, 0, State::Warning), 91);
    EXPECT_EQ(SendAt(broadcast, 10, State::Ok), 101);
    EXPECT_FALSE(broadcast.m_DurationTimer.m_bRunning);
    EXPECT_FALSE(broadcast.m_WarningTimer.m_bRunning);
    EXPECT_EQ(SendAt(broadcast, 20, State::Warning), 91) << "a new warning pulses again";
    EXPECT_EQ(SendAt(broadcast, 30, State::Error), 1);
    EXPECT_EQ(SendAt(broadcast, 40, State::Ok), 101);
    EXPECT_FALSE(broadcast.m_ErrorTimer.m_bRunning);
}

TEST_F(VisiWinNewTest, ADiskWarningHoldsTheWarningStateForGood)
{
    VisiWinNew broadcast;
    Set(L"HddLifetime", 50000, 45000);
    EXPECT_EQ(SendAt(broadcast, 0, State::Ok), 91);
    Set(L"HddLifetime", 10, 45000);
    EXPECT_EQ(SendAt(broadcast, 61, State::Ok), 101);
    EXPECT_EQ(Current(L"IPC_HARDDISK"), L"2");
    EXPECT_EQ(SendAt(broadcast, 21601, State::Ok), 91);
}

TEST_F(VisiWinNewTest, WritesTheSevenCurrentKeysAndEveryReading)
{
    Set(L"Fan0", 2500, 3000);
    VisiWinNew broadcast;
    SendAt(broadcast, 0, State::Error);
    EXPECT_EQ(Current(L"IPC_FANS"), L"2");
    EXPECT_EQ(Current(L"IPC_TEMP"), L"3");
    EXPECT_EQ(Current(L"IPC_VOLTAGE"), L"1");
    EXPECT_EQ(Current(L"IPC_CMOS_BAT"), L"0");
    EXPECT_EQ(Current(L"IPC_HARDDISK"), L"1");
    EXPECT_EQ(Current(L"UPS_WORKING"), L"1");
    EXPECT_EQ(Current(L"UPS_STATE_OF_CHARGE"), L"100");
    EXPECT_EQ(Current(L"NO_OF_MESSAGES"), L"<absent>");
    const std::wstring* fan = m_Profile.Find(kValuesFile, L"Values", L"Fan0");
    ASSERT_NE(fan, nullptr);
    EXPECT_EQ(*fan, L"2500");
    const std::wstring* disk = m_Profile.Find(kValuesFile, L"Values", L"ReallocatedSectorCount");
    ASSERT_NE(disk, nullptr);
    EXPECT_EQ(*disk, L"0");
}

TEST_F(VisiWinNewTest, NothingIsWrittenWhileNothingChangesUntilTheCallCounterPasses100)
{
    VisiWinNew broadcast;
    SendAt(broadcast, 0, State::Ok);
    const std::size_t fields = FieldCount();
    const std::size_t afterFirst = m_Profile.writes;
    // Each key once, in the cycle's one write of the file.
    EXPECT_EQ(afterFirst, 7 + fields);
    EXPECT_EQ(m_Profile.wholeWrites, 1u);
    for (int cycle = 1; cycle <= 14; ++cycle) {
        SendAt(broadcast, 10 * cycle, State::Ok);
    }
    EXPECT_EQ(m_Profile.writes, afterFirst);
    EXPECT_EQ(VisiWinNew::CallCounter(), 98);
    // The 101st call (the third of this cycle) writes its key and every reading again; their
    // text is the file's, so the file is not written.
    SendAt(broadcast, 150, State::Ok);
    EXPECT_EQ(VisiWinNew::CallCounter(), 4);
    EXPECT_EQ(m_Profile.writes, afterFirst);
    EXPECT_EQ(m_Profile.wholeWrites, 1u);
}

TEST_F(VisiWinNewTest, AnExpiredWriteTimerRewritesTheFirstUnchangedKey)
{
    m_Clock.Set(kStart);
    VisiWinNew broadcast;
    SendAt(broadcast, 0, State::Ok);
    const std::size_t afterFirst = m_Profile.writes;
    SendAt(broadcast, 900, State::Ok);
    EXPECT_EQ(m_Profile.writes, afterFirst);
    // Due, but the same text: the file is not written. A reading changed meanwhile is.
    Set(L"Fan0", 1234, 0);
    SendAt(broadcast, 901, State::Ok);
    EXPECT_EQ(m_Profile.writes, afterFirst + 1 + FieldCount());
    SendAt(broadcast, 911, State::Ok);
    EXPECT_EQ(m_Profile.writes, afterFirst + 1 + FieldCount());
}

TEST_F(VisiWinNewTest, AChangedStateOfChargeRewritesItAndTheWholeValuesSection)
{
    auto& battery = dynamic_cast<MBDataContainer::UpsBattData&>(Field(L"C9900-U330"));
    battery.m_nCapacity = 88;
    VisiWinNew broadcast;
    SendAt(broadcast, 0, State::Ok);
    const std::size_t afterFirst = m_Profile.writes;
    battery.m_nCapacity = 87;
    Field(L"Fan0").m_nValue = 1234;
    SendAt(broadcast, 10, State::Ok);
    EXPECT_EQ(Current(L"UPS_STATE_OF_CHARGE"), L"87");
    EXPECT_EQ(m_Profile.writes, afterFirst + 1 + FieldCount());
    EXPECT_EQ(*m_Profile.Find(kValuesFile, L"Values", L"Fan0"), L"1234");
}

TEST_F(VisiWinNewTest, AnUnwritableValuesFileKeepsThePulseAndItsWritesUntilOneSucceeds)
{
    VisiWinNew broadcast;
    m_Profile.failWrites = true;
    // Far more cycles than the failures that once ended every cycle before the pulse was set.
    EXPECT_EQ(SendAt(broadcast, 0, State::Error), 1);
    for (std::int64_t second = 10; second <= 1000; second += 10) {
        SendAt(broadcast, second, State::Error);
    }
    EXPECT_EQ(SendAt(broadcast, 1010, State::Ok), 101);
    EXPECT_EQ(Current(L"IPC_TEMP"), L"<absent>");
    // The writes stayed pending, each key once, and the first write that works puts them in.
    EXPECT_EQ(ValuesFileWriter::Instance().Pending(), 7 + FieldCount());
    m_Profile.failWrites = false;
    SendAt(broadcast, 1020, State::Ok);
    EXPECT_EQ(Current(L"IPC_TEMP"), L"1");
    EXPECT_EQ(*m_Profile.Find(kValuesFile, L"Values", L"Temp0"), L"50");
    EXPECT_EQ(ValuesFileWriter::Instance().Pending(), 0u);
}

// A stale source's groups show at least a warning, which pulses like any other, and return to
// their fields' own ratings when it is fresh again: the disk's worst rating is not latched.
TEST_F(VisiWinNewTest, AStaleSourceShowsAtLeastAWarningWhileItLasts)
{
    m_Clock.Set(kStart);
    VisiWinNew broadcast;
    const struct {
        bool sensorsStale;
        bool diskStale;
        State state;
        const wchar_t* digits;  // IPC_FANS, IPC_TEMP, IPC_VOLTAGE, IPC_CMOS_BAT, IPC_HARDDISK, UPS
        std::int32_t pulse;
    } cycles[] = {
        {false, false, State::Ok, L"111011", 101}, {true, false, State::Ok, L"222011", 91},
        {true, false, State::Error, L"232011", 1}, {false, true, State::Ok, L"111021", 91},
        {false, false, State::Ok, L"111011", 101},
    };
    std::int64_t second = 0;
    for (const auto& cycle : cycles) {
        SCOPED_TRACE(second);
        MBDataContainer::SourceAges ages;
        ages.sensorsStale = cycle.sensorsStale;
        ages.diskStale = cycle.diskStale;
        Rater().SetSourceAges(ages);
        EXPECT_EQ(SendAt(broadcast, second, cycle.state), cycle.pulse);
        std::wstring digits;
        for (const wchar_t* key : {L"IPC_FANS", L"IPC_TEMP", L"IPC_VOLTAGE", L"IPC_CMOS_BAT",
                                   L"IPC_HARDDISK", L"UPS_WORKING"}) {
            digits += Current(key);
        }
        EXPECT_EQ(digits, cycle.digits);
        second += 10;
    }
}

}  // namespace
