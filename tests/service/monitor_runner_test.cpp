#include "service/monitor_runner.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <stdexcept>
#include <string>

#include "errors/exceptions.h"
#include "logging/log.h"
#include "platform/clock.h"
#include "platform/seam.h"
#include "service/worker_thread.h"
#include "settings/settings.h"
#include "worker_fixture.h"

namespace servicetest {
namespace {

using namespace std::chrono_literals;

const std::string kErrorLine = " ** CMain::MyThread  line: ";

// Starts a worker of `p_Monitor`, runs `p_Wait` (false: it timed out) and stops the worker by
// destroying its owner, as the add-on's unload does.
bool RunUntil(ScriptedMonitor& p_Monitor, const std::function<bool()>& p_Wait)
{
    CMain l_Main(p_Monitor.Factory());
    l_Main.Start();
    return p_Wait();
}

bool RunUntilFirstSend(ScriptedMonitor& p_Monitor)
{
    MonitorRecord& l_Record = *p_Monitor.m_pRecord;
    return RunUntil(
        p_Monitor, [&l_Record] { return l_Record.WaitFor([&] { return l_Record.m_nSends > 0; }); });
}

bool RunUntilUpdates(ScriptedMonitor& p_Monitor, int p_nUpdates)
{
    MonitorRecord& l_Record = *p_Monitor.m_pRecord;
    return RunUntil(p_Monitor, [&l_Record, p_nUpdates] {
        return l_Record.WaitFor([&] { return l_Record.m_nUpdates >= p_nUpdates; });
    });
}

// A step of the monitor (its start-up or an update) that says it has begun, then waits until
// the test releases it.
struct HeldStep {
    std::shared_ptr<Gate> m_pBegun = std::make_shared<Gate>();
    std::shared_ptr<Gate> m_pRelease = std::make_shared<Gate>();

    std::function<void()> Body() const
    {
        return [l_pBegun = m_pBegun, l_pRelease = m_pRelease] {
            l_pBegun->Open();
            l_pRelease->Wait();
        };
    }
};

class WorkerTest : public ::testing::Test {
protected:
    WorkerEnvironment m_Environment;
    ScriptedMonitor m_Monitor;
};

TEST_F(WorkerTest, DestroyingAnUnstartedWorkerReturnsAtOnce)
{
    {
        CMain l_Main(m_Monitor.Factory());
    }
    EXPECT_EQ(service::LiveWorkerThreads(), 0);
    EXPECT_EQ(m_Monitor.m_pRecord->m_nAssembled, 0);
}

TEST_F(WorkerTest, StartingTwiceRunsOneWorker)
{
    {
        CMain l_Main(m_Monitor.Factory());
        l_Main.Start();
        l_Main.Start();
        ASSERT_TRUE(
            m_Monitor.m_pRecord->WaitFor([&] { return m_Monitor.m_pRecord->m_nSends > 0; }));
    }
    ASSERT_TRUE(m_Environment.WaitForWorkersToEnd());
    EXPECT_EQ(m_Monitor.m_pRecord->m_nAssembled, 1);
    EXPECT_TRUE(m_Monitor.m_pRecord->TornDown());
}

TEST_F(WorkerTest, StopWakesTheWorkerFromItsPause)
{
    // The default pause is 10 s and the stop waits 1 s: the monitor can only be torn down by
    // then if the stop cut the pause short.
    ASSERT_TRUE(RunUntilFirstSend(m_Monitor));
    EXPECT_TRUE(m_Monitor.m_pRecord->TornDown());
    EXPECT_EQ(m_Monitor.m_pRecord->Updates(), 1);
}

TEST_F(WorkerTest, StopDuringStartUpEndsTheWorkerBeforeItsFirstCycle)
{
    HeldStep l_Assembly;
    m_Monitor.m_Assemble = l_Assembly.Body();
    ASSERT_TRUE(RunUntil(m_Monitor, [&] { return l_Assembly.m_pBegun->Wait(); }));
    // The stop call has returned while the start-up still runs; the worker finishes alone.
    EXPECT_FALSE(m_Monitor.m_pRecord->TornDown());
    l_Assembly.m_pRelease->Open();
    ASSERT_TRUE(m_Environment.WaitForWorkersToEnd());
    EXPECT_TRUE(m_Monitor.m_pRecord->TornDown());
    EXPECT_EQ(m_Monitor.m_pRecord->Updates(), 0);
}

TEST_F(WorkerTest, AWorkerStillUpdatingOutlivesItsOwner)
{
    HeldStep l_Update;
    m_Monitor.m_Update = l_Update.Body();
    ASSERT_TRUE(RunUntil(m_Monitor, [&] { return l_Update.m_pBegun->Wait(); }));
    l_Update.m_pRelease->Open();
    ASSERT_TRUE(m_Environment.WaitForWorkersToEnd());
    EXPECT_TRUE(m_Monitor.m_pRecord->TornDown());
    // The update returned after the stop: nothing more is published.
    EXPECT_EQ(m_Monitor.m_pRecord->m_nSends, 0);
}

TEST_F(WorkerTest, ANewRunStartsOnlyOnceAWorkerThatOutlivedItsOwnerHasEnded)
{
    HeldStep l_Update;
    m_Monitor.m_Update = l_Update.Body();
    ASSERT_TRUE(RunUntil(m_Monitor, [&] { return l_Update.m_pBegun->Wait(); }));
    // A run stopped while it still waits for the old worker gives up without starting up.
    ScriptedMonitor l_Abandoned;
    {
        CMain l_Main(l_Abandoned.Factory());
        l_Main.Start();
    }
    ScriptedMonitor l_Next;
    auto l_pOldRecord = m_Monitor.m_pRecord;
    auto l_pOldEndedFirst = std::make_shared<std::atomic<bool>>(false);
    l_Next.m_Assemble = [l_pOldRecord, l_pOldEndedFirst] {
        *l_pOldEndedFirst = l_pOldRecord->TornDown();
    };
    {
        CMain l_New(l_Next.Factory());
        l_New.Start();
        l_Update.m_pRelease->Open();
        ASSERT_TRUE(l_Next.m_pRecord->WaitFor([&] { return l_Next.m_pRecord->m_nSends > 0; }));
    }
    ASSERT_TRUE(m_Environment.WaitForWorkersToEnd());
    EXPECT_TRUE(*l_pOldEndedFirst);
    EXPECT_EQ(l_Abandoned.m_pRecord->m_nAssembled, 0);
    EXPECT_EQ(l_Next.m_pRecord->m_nAssembled, 1);
}

TEST_F(WorkerTest, StopWhileAnUpdateThrowsEndsTheWorkerAfterThatPass)
{
    HeldStep l_Update;
    m_Monitor.m_Update = [l_Hold = l_Update.Body()] {
        l_Hold();
        throw std::runtime_error("sensor gone");
    };
    ASSERT_TRUE(RunUntil(m_Monitor, [&] { return l_Update.m_pBegun->Wait(); }));
    l_Update.m_pRelease->Open();
    ASSERT_TRUE(m_Environment.WaitForWorkersToEnd());
    EXPECT_TRUE(m_Monitor.m_pRecord->TornDown());
    EXPECT_EQ(m_Monitor.m_pRecord->Updates(), 1);
    EXPECT_EQ(m_Monitor.m_pRecord->m_nSends, 0);
    EXPECT_EQ(CountOf(m_Environment.Log(), "\t\tsensor gone\r\n"), 1);
}

TEST_F(WorkerTest, AFailingPassIsFollowedByThePause)
{
    m_Environment.SetCycleTime(100);
    m_Monitor.m_Update = [] { throw std::runtime_error("sensor gone"); };
    ASSERT_TRUE(RunUntilUpdates(m_Monitor, 3));
    ASSERT_TRUE(m_Environment.WaitForWorkersToEnd());
    const auto& l_Times = m_Monitor.m_pRecord->m_UpdateTimes;
    for (std::size_t l_nPass = 1; l_nPass < l_Times.size(); ++l_nPass) {
        EXPECT_GE(l_Times[l_nPass] - l_Times[l_nPass - 1], 95ms);
    }
    EXPECT_TRUE(m_Monitor.m_pRecord->TornDown());
    EXPECT_EQ(m_Monitor.m_pRecord->m_nSends, 0);
}

TEST_F(WorkerTest, CycleTimeBelowTheMinimumIsRaisedToIt)
{
    m_Environment.SetCycleTime(1);
    ASSERT_TRUE(RunUntilUpdates(m_Monitor, 3));
    ASSERT_TRUE(m_Environment.WaitForWorkersToEnd());
    const auto& l_Times = m_Monitor.m_pRecord->m_UpdateTimes;
    EXPECT_GE(l_Times[2] - l_Times[0], 190ms);
}

TEST_F(WorkerTest, ANegativeCycleTimeIsRaisedToTheMinimumAndSaysSoOnce)
{
    // The system's integer read gives -1 as 4294967295: a pause of 49 days if taken unsigned.
    m_Environment.SetCycleTime(-1);
    ASSERT_TRUE(RunUntilUpdates(m_Monitor, 3));
    ASSERT_TRUE(m_Environment.WaitForWorkersToEnd());
    const auto& l_Times = m_Monitor.m_pRecord->m_UpdateTimes;
    EXPECT_GE(l_Times[2] - l_Times[0], 190ms);
    EXPECT_EQ(CountOf(m_Environment.Log(),
                      "\t\tCycleTime -1 ms is outside 100 to 3600000 ms; the pause is 100 ms\r\n"),
              1);
}

// A simulated clock takes the pause between cycles as simulated time: it moves on by the cycle
// time and the worker does not wait (the simulated days of scripts/soak run on this).
TEST_F(WorkerTest, TheClockDecidesHowLongThePauseReallyTakes)
{
    class SimulatedClock : public platform::Clock {
    public:
        std::int64_t Now() override { return m_nMilliseconds.load() / 1000; }
        std::chrono::milliseconds RealWait(std::chrono::milliseconds p_Pause) override
        {
            m_nMilliseconds += p_Pause.count();
            return std::chrono::milliseconds(0);
        }
        std::atomic<std::int64_t> m_nMilliseconds{0};
    } l_Clock;
    const platform::Substitute<platform::Clock> l_ClockInPlace(l_Clock);
    m_Environment.SetCycleTime(3600000);
    ASSERT_TRUE(RunUntilUpdates(m_Monitor, 3)) << "an hour's pause was waited out";
    ASSERT_TRUE(m_Environment.WaitForWorkersToEnd());
    EXPECT_GE(l_Clock.Now(), 2 * 3600);
}

TEST_F(WorkerTest, TheCycleTimeSettingIsLoggedOnlyWhenThePauseDiffersFromIt)
{
    // The text is read with its own sign and size: past 2^31 (or 2^32) it does not wrap. The
    // line quotes the setting as written.
    const struct {
        const wchar_t* m_szSetting;
        const char* m_szLine;  // nullptr: no line
    } l_Cases[] = {
        {L"3600001",
         "\t\tCycleTime 3600001 ms is outside 100 to 3600000 ms; the pause is 3600000 ms\r\n"},
        {L"3000000000",
         "\t\tCycleTime 3000000000 ms is outside 100 to 3600000 ms; the pause is 3600000 ms\r\n"},
        {L"4294967396",
         "\t\tCycleTime 4294967396 ms is outside 100 to 3600000 ms; the pause is 3600000 ms\r\n"},
        {L"0x80000000",
         "\t\tCycleTime 0x80000000 ms is outside 100 to 3600000 ms; the pause is 3600000 ms\r\n"},
        // Past 2^64 as well: the magnitude stops at 2^62 instead of wrapping into a small number.
        {L"18446744073709551620",
         "\t\tCycleTime 18446744073709551620 ms is outside 100 to 3600000 ms; the pause is 3600000 "
         "ms\r\n"},
        {L"0x10000000000000005",
         "\t\tCycleTime 0x10000000000000005 ms is outside 100 to 3600000 ms; the pause is 3600000 "
         "ms\r\n"},
        {L"-2147483648",
         "\t\tCycleTime -2147483648 ms is outside 100 to 3600000 ms; the pause is 100 ms\r\n"},
        {L"-4294967296",
         "\t\tCycleTime -4294967296 ms is outside 100 to 3600000 ms; the pause is 100 ms\r\n"},
        {L"99", "\t\tCycleTime 99 ms is outside 100 to 3600000 ms; the pause is 100 ms\r\n"},
        {L"100", nullptr},
        {L"3600000", nullptr},
    };
    for (const auto& l_Case : l_Cases) {
        SCOPED_TRACE(testing::Message() << l_Case.m_szSetting);
        ScriptedMonitor l_Monitor;
        m_Environment.SetCycleTime(l_Case.m_szSetting);
        ASSERT_TRUE(RunUntilFirstSend(l_Monitor));
        ASSERT_TRUE(m_Environment.WaitForWorkersToEnd());
        const std::string l_strLog = m_Environment.Log();
        EXPECT_EQ(CountOf(l_strLog, "CycleTime"), l_Case.m_szLine != nullptr ? 1 : 0) << l_strLog;
        if (l_Case.m_szLine != nullptr) {
            EXPECT_EQ(CountOf(l_strLog, l_Case.m_szLine), 1) << l_strLog;
        }
        // The stop still cuts a long pause short.
        EXPECT_TRUE(l_Monitor.m_pRecord->TornDown());
    }
}

TEST_F(WorkerTest, TheLogStaysWithinMaxSizeKBOfTheModuleSettings)
{
    m_Environment.SetCycleTime(100);
    m_Environment.Profile().entries[{GetModuleIniPath(), L"Log", L"MaxSizeKB"}] = L"1";
    // A failure that repeats every cycle writes about 300 bytes a cycle.
    m_Monitor.m_Update = [] { throw std::runtime_error(std::string(250, 'e')); };
    ASSERT_TRUE(RunUntilUpdates(m_Monitor, 8));
    ASSERT_TRUE(m_Environment.WaitForWorkersToEnd());
    EXPECT_LE(m_Environment.LogSize(), 1024u);
    const std::string l_strOlder = m_Environment.OlderLog();
    EXPECT_LE(l_strOlder.size(), 1024u);
    EXPECT_EQ(CountOf(m_Environment.Log(),
                      "\t\tVexa.log reached 1 KB: the earlier entries are in "
                      "Vexa.log.1\r\n"),
              1);
    EXPECT_NE(l_strOlder.find(std::string(250, 'e')), std::string::npos);
}

TEST_F(WorkerTest, StandardExceptionInACycleIsLoggedAndTheLoopGoesOn)
{
    m_Environment.SetCycleTime(100);
    m_Monitor.m_Update = [] { throw std::runtime_error("Impersonation failed!"); };
    ASSERT_TRUE(RunUntilUpdates(m_Monitor, 2));
    ASSERT_TRUE(m_Environment.WaitForWorkersToEnd());
    const std::string l_strLog = m_Environment.Log();
    const int l_nPasses = m_Monitor.m_pRecord->Updates();
    EXPECT_EQ(CountOf(l_strLog, kErrorLine), l_nPasses);
    EXPECT_EQ(CountOf(l_strLog, "\t\tImpersonation failed!\r\n"), l_nPasses);
    EXPECT_TRUE(m_Environment.m_Messages.Texts().empty());
}

TEST_F(WorkerTest, FamilyAndUnknownFailuresInACycleWriteOneErrorLineEachAndFamilyDetails)
{
    m_Environment.SetCycleTime(100);
    auto l_pPass = std::make_shared<int>(0);
    m_Monitor.m_Update = [l_pPass] {
        if ((*l_pPass)++ % 2 == 0) {
            throw err::DataListException(L"Ups", VEXA_LOCATION(L"test"), 1);
        }
        throw 42;
    };
    ASSERT_TRUE(RunUntilUpdates(m_Monitor, 2));
    ASSERT_TRUE(m_Environment.WaitForWorkersToEnd());
    const std::string l_strLog = m_Environment.Log();
    const int l_nPasses = m_Monitor.m_pRecord->Updates();
    EXPECT_EQ(CountOf(l_strLog, kErrorLine), l_nPasses);
    // A failure that repeats every cycle must say what it is, not only "exception".
    EXPECT_EQ(CountOf(l_strLog, " ** err::DataListException::LogExceptionInfo  line: "),
              4 * ((l_nPasses + 1) / 2));
    EXPECT_EQ(CountOf(l_strLog, "\t\tUps\r\n"), (l_nPasses + 1) / 2);
}

TEST_F(WorkerTest, AFileExceptionInACycleIsLoggedOnceAsItWasMade)
{
    m_Environment.SetCycleTime(100);
    m_Monitor.m_Update = [] {
        throw err::GFileException(5, VEXA_LOCATION(L"test"), L"c:\\temp\\VexaValues.ini");
    };
    ASSERT_TRUE(RunUntilUpdates(m_Monitor, 2));
    ASSERT_TRUE(m_Environment.WaitForWorkersToEnd());
    const std::string l_strLog = m_Environment.Log();
    const int l_nPasses = m_Monitor.m_pRecord->Updates();
    EXPECT_EQ(CountOf(l_strLog, kErrorLine), l_nPasses);
    EXPECT_EQ(CountOf(l_strLog, "\tm_strFilename\tc:\\temp\\VexaValues.ini\r\n"), l_nPasses);
}

// A failed cycle tells the monitor why, in one line that a host can show (vexa-host's exit
// status 4 quotes the run's first).
TEST_F(WorkerTest, AFailedCycleTellsTheMonitorWhy)
{
    const struct {
        const char* label;
        std::function<void()> fail;
        std::wstring reason;
    } l_Cases[] = {
        {"family", [] { throw err::DataListException(L"Ups", L"X::Y  line: 7", 1); },
         L"Ups (at X::Y  line: 7)"},
        {"file", [] { throw err::GFileException(3, L"X::Z  line: 9", L"c:\\temp\\V.ini"); },
         L"Invalid Filename!: c:\\temp\\V.ini (at X::Z  line: 9)"},
        {"standard", [] { throw std::runtime_error("Impersonation failed!"); },
         L"Impersonation failed!"},
        {"other", [] { throw 42; }, L"an unknown exception"},
    };
    m_Environment.SetCycleTime(100);
    for (const auto& l_Case : l_Cases) {
        SCOPED_TRACE(l_Case.label);
        ScriptedMonitor l_Monitor;
        l_Monitor.m_Update = l_Case.fail;
        ASSERT_TRUE(RunUntilUpdates(l_Monitor, 1));
        ASSERT_TRUE(m_Environment.WaitForWorkersToEnd());
        const std::vector<std::wstring> l_Failures = l_Monitor.m_pRecord->Failures();
        ASSERT_FALSE(l_Failures.empty());
        EXPECT_EQ(l_Failures.front(), l_Case.reason);
    }
}

struct StartUpFailure {
    const char* m_szName;
    std::function<void()> m_Throw;
    std::wstring m_strMessage;
    int m_nErrorLines;
};

class StartUpFailureTest : public WorkerTest,
                           public ::testing::WithParamInterface<StartUpFailure> {};

TEST_P(StartUpFailureTest, IsLoggedShownAndEndsTheWorker)
{
    m_Monitor.m_Assemble = GetParam().m_Throw;
    {
        CMain l_Main(m_Monitor.Factory());
        l_Main.Start();
        ASSERT_TRUE(m_Environment.WaitForWorkersToEnd());
    }
    EXPECT_EQ(m_Monitor.m_pRecord->Updates(), 0);
    const std::vector<std::wstring> l_Texts = m_Environment.m_Messages.Texts();
    ASSERT_EQ(l_Texts.size(), 1u);
    EXPECT_EQ(l_Texts[0], GetParam().m_strMessage);
    const std::string l_strLog = m_Environment.Log();
    EXPECT_EQ(CountOf(l_strLog, kErrorLine), GetParam().m_nErrorLines);
    EXPECT_EQ(l_strLog.find("\r\nT\tCMain::MyThread  line: "), 0u) << l_strLog;
    EXPECT_NE(l_strLog.find("\t\tStart\r\n"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Worker, StartUpFailureTest,
    ::testing::Values(
        StartUpFailure{
            "FamilyMember",
            [] { throw err::DataListException(L"Ups", L"DataList::SetUpsInfo  line: 7", 1); },
            L"Error:\r\nUps\r\nat:\r\nDataList::SetUpsInfo  line: 7", 1},
        StartUpFailure{
            "FamilyMemberWithoutMessage",
            [] { throw err::UnknownException(L"cfg::ComputerXml::GetPassword  line: 3"); },
            L"Error:\r\n\r\nat:\r\ncfg::ComputerXml::GetPassword  line: 3", 1},
        StartUpFailure{"StandardWithText",
                       [] { throw std::runtime_error("Impersonation failed!"); },
                       L"Impersonation failed!", 2},
        StartUpFailure{"StandardWithoutText", [] { throw std::runtime_error(""); }, L"", 1},
        StartUpFailure{"Unknown", [] { throw 42; }, L"Unbekannter Fehler", 1}),
    [](const ::testing::TestParamInfo<StartUpFailure>& p_Info) { return p_Info.param.m_szName; });

TEST_F(WorkerTest, LevelZeroLogsStartOnly)
{
    ASSERT_TRUE(RunUntilFirstSend(m_Monitor));
    ASSERT_TRUE(m_Environment.WaitForWorkersToEnd());
    const std::string l_strLog = m_Environment.Log();
    EXPECT_EQ(CountOf(l_strLog, "\t\tStart\r\n"), 1);
    EXPECT_EQ(CountOf(l_strLog, "Start loop"), 0);
}

TEST_F(WorkerTest, LevelThreeAddsTheProgressLine)
{
    m_Environment.SetDebugLevel(3);
    ASSERT_TRUE(RunUntilFirstSend(m_Monitor));
    ASSERT_TRUE(m_Environment.WaitForWorkersToEnd());
    const std::string l_strLog = m_Environment.Log();
    const std::size_t l_nStart = l_strLog.find("\t\tStart\r\n");
    const std::size_t l_nLoop = l_strLog.find("\t\tStart loop\r\n");
    ASSERT_NE(l_nStart, std::string::npos);
    ASSERT_NE(l_nLoop, std::string::npos);
    EXPECT_LT(l_nStart, l_nLoop);
}

}  // namespace
}  // namespace servicetest
