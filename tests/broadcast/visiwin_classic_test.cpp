#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "broadcast/broadcast_fixture.h"
#include "broadcast/visiwin_classic.h"
#include "common/count_of.h"
#include "errors/exceptions.h"
#include "fakes/log_capture.h"

namespace {

using broadcast_test::BroadcastTest;
using MBBroadcast::VisiWinClassic;
using Lines = std::vector<std::string>;

using VisiWinClassicTest = BroadcastTest;

TEST_F(VisiWinClassicTest, AListWithoutProbeFieldsChecksInAndWritesNothing)
{
    BuildList({{}, {}, {}, true});
    {
        VisiWinClassic broadcast(List());
        Send(broadcast);
        EXPECT_EQ(Trace(), (Lines{"connect"}));
    }
    EXPECT_EQ(Trace(), (Lines{"connect", "disconnect"}));
}

TEST_F(VisiWinClassicTest, ChecksInValueAndSetpointOfEveryMappedFieldInListOrder)
{
    BuildList({{L"Fan0"}, {L"Temp2"}, {L"V33", L"VBat", L"Vcore"}, true});
    VisiWinClassic broadcast(List());
    EXPECT_EQ(Trace(),
              (Lines{"connect", "checkin mb_fan_0 1", "checkin mb_fan_0_set 2",
                     "checkin mb_temp_2 3", "checkin mb_temp_2_set 4", "checkin mb_volt_3_3 5",
                     "checkin mb_volt_3_3_set 6", "checkin mb_vbat 7", "checkin mb_vbat_set 8"}));
}

TEST_F(VisiWinClassicTest, SendWritesReadingAndSetpointUnrated)
{
    BuildList({{}, {L"Temp2"}, {}, false});
    Set(L"Temp2", 45, 60);
    VisiWinClassic broadcast(List());
    Send(broadcast);
    EXPECT_EQ(m_Runtime.ValueOf(L"mb_temp_2"), 45);
    EXPECT_EQ(m_Runtime.ValueOf(L"mb_temp_2_set"), 60);
    Set(L"Temp2", 99, 60);
    Send(broadcast);
    EXPECT_EQ(m_Runtime.ValueOf(L"mb_temp_2"), 99) << "no rating stops a value";
    Lines sets;
    for (const auto& line : Trace()) {
        if (line.rfind("set ", 0) == 0) {
            sets.push_back(line);
        }
    }
    EXPECT_EQ(sets, (Lines{"set mb_temp_2 45", "set mb_temp_2_set 60", "set mb_temp_2 99",
                           "set mb_temp_2_set 60"}));
}

TEST_F(VisiWinClassicTest, OnlyFansZeroToTwoAndTempsZeroToThreeAreMapped)
{
    BuildList({{L"Fan0", L"Fan1", L"Fan2", L"Fan3"},
               {L"Temp0", L"Temp1", L"Temp2", L"Temp3", L"Temp4"},
               {L"Mbvccp1", L"Mbvtt", L"Mb5vsb", L"V33", L"V5", L"V12", L"V5a", L"V12a", L"VBat"},
               false});
    VisiWinClassic broadcast(List());
    const Lines trace = Trace();
    EXPECT_EQ(trace.size(), 1u + 2u * 16u);
    for (const auto& line : trace) {
        EXPECT_EQ(line.find("mb_fan_3"), std::string::npos);
        EXPECT_EQ(line.find("mb_temp_4"), std::string::npos);
    }
    EXPECT_NE(std::find(trace.begin(), trace.end(), "checkin mb_vbat_set 32"), trace.end());
}

TEST_F(VisiWinClassicTest, AMissingHmiVariablePreventsTheBroadcastAndUndoesTheCheckIns)
{
    BuildList({{L"Fan0"}, {L"Temp1"}, {}, false});
    m_Runtime.SetKnownNames({L"mb_fan_0", L"mb_fan_0_set", L"mb_temp_1"});
    try {
        VisiWinClassic broadcast(List());
        FAIL() << "constructed without mb_temp_1_set";
    } catch (const err::VisiWinException& e) {
        EXPECT_EQ(e.GetErrNo(), 1u);
        EXPECT_EQ(e.GetMessage(), L"mb_temp_1_set");
    }
    EXPECT_EQ(Trace(),
              (Lines{"connect", "checkin mb_fan_0 1", "checkin mb_fan_0_set 2",
                     "checkin mb_temp_1 3", "checkin-failed mb_temp_1_set", "checkout mb_fan_0",
                     "checkout mb_fan_0_set", "checkout mb_temp_1", "disconnect"}));
}

TEST_F(VisiWinClassicTest, NoRuntimeNoBroadcast)
{
    BuildList({{L"Fan0"}, {}, {}, false});
    StopRuntime();
    EXPECT_THROW(VisiWinClassic broadcast(List()), err::VisiWinException);
    EXPECT_TRUE(Trace().empty());
}

TEST_F(VisiWinClassicTest, ARejectingRuntimeDoesNotStopSending)
{
    BuildList({{L"Fan0"}, {}, {}, false});
    VisiWinClassic broadcast(List());
    m_Runtime.SetWriteResult(platform::kEFail);
    EXPECT_NO_THROW(Send(broadcast));
    EXPECT_NO_THROW(Send(broadcast));
}

TEST_F(VisiWinClassicTest, DestructionChecksOutEveryVariableThenDisconnectsOnce)
{
    BuildList({{L"Fan1"}, {}, {L"V5"}, false});
    {
        VisiWinClassic broadcast(List());
    }
    const Lines trace = Trace();
    const Lines tail(trace.end() - 5, trace.end());
    // In the map's own order.
    EXPECT_EQ(tail, (Lines{"checkout mb_fan_1", "checkout mb_fan_1_set", "checkout mb_volt_5",
                           "checkout mb_volt_5_set", "disconnect"}));
}

}  // namespace

namespace {

using testing_support::CountOf;

TEST_F(VisiWinClassicTest, EachSendLogsOneLevel5LinePerFieldMappedOrNot)
{
    BuildList({{L"Fan0"}, {}, {}, true});
    VisiWinClassic broadcast(List());
    {
        const fakes::LogCapture log(5);
        Send(broadcast);
        const std::string text = log.Contents();
        EXPECT_EQ(CountOf(text, "MBBroadcast::VisiWinClassic::Send  line: 66\t\tLabel\t"),
                  FieldCount());
        EXPECT_EQ(CountOf(text, "Label\tFan0\r\n"), 1u);
        EXPECT_EQ(CountOf(text, "Label\tC9900-U330\r\n"), 1u);
        EXPECT_EQ(CountOf(text, "Label\tHddLifetime\r\n"), 1u);
    }
    const fakes::LogCapture quiet(4);
    Send(broadcast);
    EXPECT_EQ(CountOf(quiet.Contents(), "Label"), 0u);
}

}  // namespace
