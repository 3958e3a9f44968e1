#include <gtest/gtest.h>

#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "broadcast/last_snapshot.h"
#include "common/temp_folder.h"
#include "fakes/fake_clock.h"
#include "fakes/log_capture.h"
#include "platform/clock.h"
#include "standins/hmi_substitute.h"
#include "service/monitor_runner.h"
#include "service/monitor.h"
#include "settings/settings.h"
#include "settings/values_file.h"
#include "worker_fixture.h"

namespace servicetest {
namespace {

// The local time as the C library writes it, to compare the heartbeat's text against.
std::wstring LocalText(std::int64_t p_nSeconds)
{
    const std::time_t l_Time = static_cast<std::time_t>(p_nSeconds);
    char l_szText[32] = {};
    std::strftime(l_szText, sizeof l_szText, "%Y-%m-%d %H:%M:%S", std::localtime(&l_Time));
    return std::wstring(l_szText, l_szText + std::char_traits<char>::length(l_szText));
}

// The real assembly, its cycles run by the test, against settings and values file in memory.
class CycleExportTest : public ::testing::Test {
protected:
    CycleExportTest() : m_HmiSubstitute(m_Hmi), m_ClockSubstitute(m_Clock) {}

    void SetServicePack(const std::wstring& p_strVersion)
    {
        m_Environment.Profile()
            .entries[{L"c:\\Servicepacks\\InstallSP.ini", L"Servicepack", L"Version"}] =
            p_strVersion;
    }
    std::wstring Current(const std::wstring& p_strKey)
    {
        const std::wstring* l_pValue =
            m_Environment.Profile().Find(GetValuesFilePath(), L"VEXA_CURRENT", p_strKey);
        return l_pValue != nullptr ? *l_pValue : L"<missing>";
    }
    std::wstring Status(const std::wstring& p_strKey)
    {
        const std::wstring* l_pValue =
            m_Environment.Profile().Find(GetValuesFilePath(), L"VEXA_STATUS", p_strKey);
        return l_pValue != nullptr ? *l_pValue : L"<missing>";
    }
    void GoodCycle(service::Monitor& p_Monitor)
    {
        p_Monitor.Update();
        p_Monitor.Send();
        p_Monitor.CycleEnded(false);
    }

    WorkerEnvironment m_Environment;
    platform::SubstituteHmiRuntime m_Hmi;
    platform::Substitute<platform::HmiRuntime> m_HmiSubstitute;
    fakes::FakeClock m_Clock{1796719505};
    platform::Substitute<platform::Clock> m_ClockSubstitute;
};

TEST_F(CycleExportTest, HeartbeatAfterAGoodCycleAndAfterFailedOnes)
{
    SetServicePack(L"2.8");
    std::unique_ptr<service::Monitor> l_pMonitor = service::AssembleMonitor();
    EXPECT_EQ(Status(L"LAST_CYCLE"), L"<missing>");
    EXPECT_EQ(MBBroadcast::LastSnapshotCycles(), 0u);

    GoodCycle(*l_pMonitor);
    EXPECT_EQ(Status(L"LAST_CYCLE"), LocalText(1796719505));
    EXPECT_EQ(Status(L"FAILED_CYCLES"), L"0");
    EXPECT_EQ(Status(L"DISK_SOURCE"), L"none");
    EXPECT_EQ(Status(L"DISK_DRIVE"), L"0");

    // The count a host polls to end a run after N cycles counts failed cycles too.
    EXPECT_EQ(MBBroadcast::LastSnapshotCycles(), 1u);
    m_Clock.Advance(10);
    const std::size_t l_nWritesBefore = m_Environment.Profile().writes;
    l_pMonitor->CycleEnded(true);
    // Two keys changed, one write of the section.
    EXPECT_EQ(m_Environment.Profile().writes, l_nWritesBefore + 1);
    EXPECT_EQ(Status(L"LAST_CYCLE"), LocalText(1796719515));
    EXPECT_EQ(MBBroadcast::LastSnapshotCycles(), 2u);
    EXPECT_EQ(Status(L"FAILED_CYCLES"), L"1");
    m_Clock.Advance(10);
    l_pMonitor->CycleEnded(true);
    EXPECT_EQ(Status(L"FAILED_CYCLES"), L"2");

    m_Clock.Advance(10);
    GoodCycle(*l_pMonitor);
    EXPECT_EQ(Status(L"FAILED_CYCLES"), L"0");
    EXPECT_EQ(Status(L"LAST_CYCLE"), LocalText(1796719535));
    // A cycle like the one before is one write for the new time, and none within the same
    // second: each write rewrites the whole file.
    m_Clock.Advance(10);
    const int l_nWrites = m_Environment.Profile().writes;
    l_pMonitor->CycleEnded(false);
    EXPECT_EQ(m_Environment.Profile().writes - l_nWrites, 1);
    EXPECT_EQ(Status(L"LAST_CYCLE"), LocalText(1796719545));
    l_pMonitor->CycleEnded(false);
    EXPECT_EQ(m_Environment.Profile().writes - l_nWrites, 1);

    const std::optional<MBDataContainer::CycleSnapshot> l_Snapshot = MBBroadcast::LastSnapshot();
    ASSERT_TRUE(l_Snapshot);
    EXPECT_EQ(l_Snapshot->cycles, 6u);
    EXPECT_EQ(l_Snapshot->failedCycles, 2u);
    EXPECT_EQ(l_Snapshot->consecutiveFailures, 0u);
    EXPECT_EQ(l_Snapshot->time, 1796719545);
    EXPECT_EQ(l_Snapshot->sensorSource, L"probe");
    EXPECT_FALSE(l_Snapshot->fields.empty());
}

// The run keeps the reason of its first failed cycle, for a host that reports a run without a
// good cycle; later failures and good cycles leave it.
TEST_F(CycleExportTest, TheRunKeepsItsFirstFailuresReason)
{
    SetServicePack(L"2.8");
    std::unique_ptr<service::Monitor> l_pMonitor = service::AssembleMonitor();
    GoodCycle(*l_pMonitor);
    EXPECT_EQ(MBBroadcast::LastSnapshot()->firstFailure, L"");
    for (const wchar_t* l_szReason : {L"first (at X)", L"second (at Y)"}) {
        l_pMonitor->CycleFailed(l_szReason);
        l_pMonitor->CycleEnded(true);
    }
    GoodCycle(*l_pMonitor);
    EXPECT_EQ(MBBroadcast::LastSnapshot()->firstFailure, L"first (at X)");
}

// The HMI project of the classic broadcast reads no values file: nothing is written there.
TEST_F(CycleExportTest, TheClassicBroadcastWritesNoHeartbeat)
{
    SetServicePack(L"2.7");
    std::unique_ptr<service::Monitor> l_pMonitor = service::AssembleMonitor();
    GoodCycle(*l_pMonitor);
    l_pMonitor->CycleEnded(true);
    EXPECT_EQ(Status(L"LAST_CYCLE"), L"<missing>");
    EXPECT_EQ(MBBroadcast::LastSnapshot()->cycles, 2u);
}

// A heartbeat that cannot be written fails nothing, and the metrics file is still written.
TEST_F(CycleExportTest, MetricsFileFromTheModuleSettingsAndAnUnwritableValuesFile)
{
    const testing_support::TempFolder l_Folder;
    SetServicePack(L"2.8");
    m_Environment.Profile().entries[{GetModuleIniPath(), L"Export", L"MetricsFile"}] =
        l_Folder.Path(L"vexa.prom");
    std::unique_ptr<service::Monitor> l_pMonitor = service::AssembleMonitor();
    GoodCycle(*l_pMonitor);
    std::string l_strMetrics = l_Folder.Read(L"vexa.prom");
    EXPECT_NE(l_strMetrics.find("\nvexa_cycles_total 1\n"), std::string::npos) << l_strMetrics;
    EXPECT_NE(l_strMetrics.find("\nvexa_last_cycle_timestamp_seconds 1796719505\n"),
              std::string::npos);
    EXPECT_NE(l_strMetrics.find("\nvexa_build_info{version=\"4.0.11.0\"} 1\n"), std::string::npos);

    m_Environment.Profile().failWrites = true;
    l_pMonitor->CycleEnded(true);
    l_strMetrics = l_Folder.Read(L"vexa.prom");
    EXPECT_NE(l_strMetrics.find("\nvexa_cycles_total 2\n"), std::string::npos);
    EXPECT_NE(l_strMetrics.find("\nvexa_cycle_failures_total 1\n"), std::string::npos);
}

// A cycle rates its fields once, where it publishes: with their Evaluate and its trace for the
// values-file broadcast, with their Preview for the classic one, which publishes no ratings. The
// snapshot that the broadcast published is the one reported, ratings included.
TEST_F(CycleExportTest, TheCycleEvaluatesOnlyForTheBroadcastThatPublishesRatings)
{
    const struct {
        const wchar_t* servicePack;
        bool evaluates;
    } cases[] = {{L"2.8", true}, {L"2.7", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.evaluates);
        SetServicePack(c.servicePack);
        std::unique_ptr<service::Monitor> l_pMonitor = service::AssembleMonitor();
        const fakes::LogCapture l_Log(3);
        GoodCycle(*l_pMonitor);
        EXPECT_EQ(l_Log.Contents().find("MBBroadcast::Broadcast::Evaluate") != std::string::npos,
                  c.evaluates);
        const std::optional<MBDataContainer::CycleSnapshot> l_Snapshot =
            MBBroadcast::LastSnapshot();
        ASSERT_TRUE(l_Snapshot);
        // The UPS source's fan field alone makes the fan group rated.
        EXPECT_NE(l_Snapshot->groups.front().rating, MBDataContainer::RatingNone);
        if (c.evaluates) {
            EXPECT_EQ(Current(L"IPC_FANS"), std::to_wstring(l_Snapshot->groups.front().rating));
        }
    }
}

// The worker reports every pass to its monitor, and whether it failed.
class OutcomeMonitor : public service::Monitor {
public:
    explicit OutcomeMonitor(std::shared_ptr<MonitorRecord> p_pRecord,
                            std::shared_ptr<std::vector<bool>> p_pOutcomes)
        : m_pRecord(std::move(p_pRecord)), m_pOutcomes(std::move(p_pOutcomes))
    {
    }
    void Update() override
    {
        std::lock_guard<std::mutex> l_Lock(m_pRecord->m_Mutex);
        if (++m_pRecord->m_nUpdates == 2) {
            throw std::runtime_error("second update fails");
        }
    }
    void Send() override {}
    void CycleEnded(bool p_bFailed) noexcept override
    {
        {
            std::lock_guard<std::mutex> l_Lock(m_pRecord->m_Mutex);
            m_pOutcomes->push_back(p_bFailed);
        }
        m_pRecord->m_Changed.notify_all();
    }

private:
    std::shared_ptr<MonitorRecord> m_pRecord;
    std::shared_ptr<std::vector<bool>> m_pOutcomes;
};

TEST(WorkerCycleOutcome, EveryPassIsReportedWithItsFailure)
{
    WorkerEnvironment l_Environment;
    l_Environment.SetCycleTime(100);
    auto l_pRecord = std::make_shared<MonitorRecord>();
    auto l_pOutcomes = std::make_shared<std::vector<bool>>();
    {
        CMain l_Main([l_pRecord, l_pOutcomes]() -> std::unique_ptr<service::Monitor> {
            return std::make_unique<OutcomeMonitor>(l_pRecord, l_pOutcomes);
        });
        l_Main.Start();
        ASSERT_TRUE(l_pRecord->WaitFor([&] { return l_pOutcomes->size() >= 3; }));
    }
    ASSERT_TRUE(l_Environment.WaitForWorkersToEnd());
    EXPECT_EQ((std::vector<bool>(l_pOutcomes->begin(), l_pOutcomes->begin() + 3)),
              (std::vector<bool>{false, true, false}));
}

}  // namespace
}  // namespace servicetest
