#include <gtest/gtest.h>

#include "acquisition/harddisk.h"
#include "broadcast/broadcast.h"
#include "broadcast/broadcast_fixture.h"
#include "data/data_list.h"
#include "data/sensor_fields.h"
#include "standins/drive_bay.h"
#include "fakes/fake_logon.h"
#include "fakes/log_capture.h"
#include "platform/byte_order.h"

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

// The disk group holds the worst rating its counters ever had, but its health readings count with
// their current rating: a drive that was hot and has cooled down rates ok again (the digit used
// to stay at warning until the add-on restarted).
TEST_F(EvaluateTest, TheDiskGroupHoldsItsCountersButFollowsItsHealthReadings)
{
    platform::DriveBay device;
    fakes::FakeLogon logon;
    const platform::Substitute<platform::DiskDevice> deviceInPlace{device};
    const platform::Substitute<platform::Logon> logonInPlace{logon};
    device.Drive(0).nvme = true;
    MBDataAquisition::Harddisk disk(L"", L"");
    BuildList({{}, {}, {}, false, &disk});
    Evaluating broadcast(List());

    struct Step {
        const char* what;
        std::uint16_t kelvin;
        std::uint8_t warning;
        std::uint8_t used;
        std::uint64_t hours;
        std::int32_t temperature;
        Rating group;
    };
    const Step steps[] = {
        {"a sound drive", 313, 0, 10, 100, 40, RatingOk},
        {"a hot minute", 353, 0, 10, 100, 80, RatingWarning},
        {"cooled down", 313, 0, 10, 100, 40, RatingOk},
        {"a critical warning", 313, 0x04, 10, 100, 40, RatingError},
        {"the warning gone", 313, 0, 10, 100, 40, RatingOk},
        {"worn", 313, 0, 95, 100, 40, RatingWarning},
        {"beyond its lifetime", 313, 0, 10, 50000, 40, RatingWarning},
        {"the lifetime's warning is held", 313, 0, 10, 100, 40, RatingWarning},
        {"a critical warning over the held one", 313, 0x01, 10, 100, 40, RatingError},
        {"back to the held warning", 313, 0, 10, 100, 40, RatingWarning},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        auto& page = device.Drive(0).healthPage;
        page[0] = step.warning;
        platform::le::Store16(page.data() + 1, step.kelvin);
        page[5] = step.used;
        platform::le::Store64(page.data() + 128, step.hours);
        List()->Update();
        broadcast.Evaluate();
        EXPECT_EQ(Field(L"HddTemperature").m_nValue, step.temperature);
        EXPECT_EQ(broadcast.m_ResultHarddisk, step.group);
    }
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
