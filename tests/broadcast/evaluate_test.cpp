#include <gtest/gtest.h>

#include "broadcast/broadcast.h"
#include "broadcast/broadcast_fixture.h"
#include "data/sensor_fields.h"
#include "fakes/log_capture.h"

namespace {

using broadcast_test::BroadcastTest;
using broadcast_test::ListShape;
using namespace MBDataContainer;

// The broadcast base with its results open to the test.
class Evaluating : public MBBroadcast::Broadcast {
public:
    using Broadcast::Broadcast;
    void Send() override {}
    using Broadcast::m_nResultBase;
    using Broadcast::m_nUpsStateOfCharge;
    using Broadcast::m_ResultCmosBatt;
    using Broadcast::m_ResultFans;
    using Broadcast::m_ResultHarddisk;
    using Broadcast::m_ResultTemp;
    using Broadcast::m_ResultUps;
    using Broadcast::m_ResultVoltage;
    using Broadcast::m_strValuesFile;
};

using EvaluateTest = BroadcastTest;

TEST_F(EvaluateTest, AllResultsStartAtNone)
{
    BuildList({{L"Fan0"}, {}, {}, true});
    Evaluating broadcast(List());
    EXPECT_EQ(broadcast.m_nResultBase, 0);
    for (const Rating result :
         {broadcast.m_ResultFans, broadcast.m_ResultTemp, broadcast.m_ResultVoltage,
          broadcast.m_ResultCmosBatt, broadcast.m_ResultUps, broadcast.m_ResultHarddisk,
          broadcast.m_nUpsStateOfCharge}) {
        EXPECT_EQ(result, RatingNone);
    }
}

TEST_F(EvaluateTest, GroupsTakeTheWorstRatingOfTheirFields)
{
    BuildList({{L"Fan0", L"Fan1"}, {L"Temp0"}, {}, false});
    Set(L"Fan0", 3000, 3000);
    Set(L"Fan1", 2500, 3000);
    Set(L"Temp0", 80, 60);
    Evaluating broadcast(List());
    broadcast.Evaluate();
    EXPECT_EQ(broadcast.m_ResultFans, RatingWarning);
    EXPECT_EQ(broadcast.m_ResultTemp, RatingError);
    EXPECT_EQ(broadcast.m_ResultVoltage, RatingNone);
    EXPECT_EQ(broadcast.m_ResultCmosBatt, RatingNone);
    EXPECT_EQ(broadcast.m_ResultUps, RatingNone);
    EXPECT_EQ(broadcast.m_ResultHarddisk, RatingOk);
}

TEST_F(EvaluateTest, AStoppedUpsMakesTheFanGroupAnError)
{
    BuildList({{L"Fan0"}, {}, {L"V33"}, true});
    Set(L"Fan0", 3000, 3000);
    Field(L"Fan P24V250W").m_nValue = 0;
    Evaluating broadcast(List());
    broadcast.Evaluate();
    EXPECT_EQ(broadcast.m_ResultFans, RatingError);
    EXPECT_EQ(broadcast.m_ResultVoltage, RatingOk);
    EXPECT_EQ(broadcast.m_ResultUps, RatingOk);
}

TEST_F(EvaluateTest, StateOfChargeIsTheBatteryCapacityWhateverItsRating)
{
    BuildList({{}, {}, {}, true});
    auto& battery = dynamic_cast<UpsBattData&>(Field(L"C9900-U330"));
    battery.m_nValue = 10;
    battery.m_nCapacity = 87;
    Evaluating broadcast(List());
    broadcast.Evaluate();
    EXPECT_EQ(broadcast.m_nUpsStateOfCharge, 87);
    EXPECT_EQ(broadcast.m_ResultUps, RatingError);
}

TEST_F(EvaluateTest, GroupsFollowTheReadingsButTheDiskResultNeverFalls)
{
    BuildList({{}, {L"Temp0"}, {}, false});
    Evaluating broadcast(List());
    Set(L"Temp0", 80, 60);
    Set(L"HddLifetime", 50000, 45000);
    broadcast.Evaluate();
    EXPECT_EQ(broadcast.m_ResultTemp, RatingError);
    EXPECT_EQ(broadcast.m_ResultHarddisk, RatingWarning);

    Set(L"Temp0", 50, 60);
    Set(L"HddLifetime", 100, 45000);
    broadcast.Evaluate();
    EXPECT_EQ(broadcast.m_ResultTemp, RatingOk);
    EXPECT_EQ(broadcast.m_ResultHarddisk, RatingWarning);
}

TEST_F(EvaluateTest, ARisingDiskCounterCountsAsAWarningNotAnError)
{
    BuildList({{}, {}, {}, false});
    Evaluating broadcast(List());
    broadcast.Evaluate();
    EXPECT_EQ(broadcast.m_ResultHarddisk, RatingOk);
    // Far above any count rated before in this process: its first rating is an error.
    Field(L"ReallocatedSectorCount").m_nValue = 65535;
    broadcast.Evaluate();
    EXPECT_EQ(broadcast.m_ResultHarddisk, RatingWarning);
    broadcast.Evaluate();
    EXPECT_EQ(broadcast.m_ResultHarddisk, RatingWarning);
}

TEST_F(EvaluateTest, TheValuesFileLiesInTempOrInTheFallbackFolder)
{
    BuildList({{}, {}, {}, false});
    {
        Evaluating broadcast(List());
        EXPECT_EQ(broadcast.m_strValuesFile, kValuesFile);
    }
    m_Environment.variables.clear();
    Evaluating broadcast(List());
    EXPECT_EQ(broadcast.m_strValuesFile, L"c:\\temp\\VexaValues.ini");
}

}  // namespace

namespace {

TEST_F(EvaluateTest, LogsEveryFieldAndTheDiskPassAtLevel3)
{
    BuildList({{L"Fan0"}, {}, {}, false});
    Set(L"Fan0", 1234, 0);
    Evaluating broadcast(List());
    {
        const fakes::LogCapture log(3);
        broadcast.Evaluate();
        const std::string text = fakes::MaskTimeStamps(log.Contents());
        const std::string where = "MBBroadcast::Broadcast::Evaluate  line: ";
        EXPECT_NE(text.find(where), std::string::npos);
        const auto start = text.find("\t\tStart\r\n");
        const auto fan = text.find("\t\tFan0\t1234\r\n");
        const auto lastDisk = text.rfind("\t\tReallocatedSectorCount\t0\r\n");
        const auto end = text.find("\t\tEnd\r\n");
        EXPECT_LT(start, fan);
        EXPECT_LT(fan, lastDisk);
        EXPECT_LT(lastDisk, end);
        EXPECT_NE(end, std::string::npos);
        std::size_t results = 0;
        for (auto at = text.find("\t\tl_CurrentResult\t1\r\n"); at != std::string::npos;
             at = text.find("\t\tl_CurrentResult\t1\r\n", at + 1)) {
            ++results;
        }
        EXPECT_EQ(results, 5u);
    }
    const fakes::LogCapture quiet(2);
    broadcast.Evaluate();
    EXPECT_EQ(quiet.Contents().find("Evaluate"), std::string::npos);
}

}  // namespace
