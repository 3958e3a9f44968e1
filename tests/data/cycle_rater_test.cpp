#include "data/cycle_rater.h"

#include <gtest/gtest.h>

#include "acquisition/harddisk.h"
#include "common/count_of.h"
#include "common/list_fixture.h"
#include "data/data_list.h"
#include "data/hdd_fields.h"
#include "data/sensor_fields.h"
#include "fakes/fake_logon.h"
#include "fakes/log_capture.h"
#include "platform/byte_order.h"
#include "standins/drive_bay.h"

namespace {

using list_test::ListTest;
using namespace MBDataContainer;

const FieldSnapshot* FindField(const CycleSnapshot& snapshot, const std::wstring& name)
{
    for (const FieldSnapshot& field : snapshot.fields) {
        if (field.name == name) {
            return &field;
        }
    }
    return nullptr;
}

using CycleRaterTest = ListTest;

TEST_F(CycleRaterTest, BeforeTheFirstRatingEveryGroupIsNoneAndNoFieldIsShown)
{
    BuildList({{L"Fan0"}, {}, {}, true});
    const CycleSnapshot snapshot = Rater().Snapshot();
    EXPECT_TRUE(snapshot.fields.empty());
    ASSERT_EQ(snapshot.groups.size(), kGroupCount);
    for (const GroupSnapshot& group : snapshot.groups) {
        EXPECT_EQ(group.rating, RatingNone);
    }
    EXPECT_EQ(snapshot.upsStateOfCharge, 0);
    EXPECT_EQ(snapshot.sensorSource, L"probe");
}

TEST_F(CycleRaterTest, GroupsTakeTheWorstRatingOfTheirFields)
{
    BuildList({{L"Fan0", L"Fan1"}, {L"Temp0"}, {}, false});
    Set(L"Fan0", 3000, 3000);
    Set(L"Fan1", 2500, 3000);
    Set(L"Temp0", 80, 60);
    Rater().Rate(true);
    EXPECT_EQ(Rater().GroupResult(FieldGroup::Fans), RatingWarning);
    EXPECT_EQ(Rater().GroupResult(FieldGroup::Temp), RatingError);
    EXPECT_EQ(Rater().GroupResult(FieldGroup::Voltage), RatingNone);
    EXPECT_EQ(Rater().GroupResult(FieldGroup::CmosBatt), RatingNone);
    EXPECT_EQ(Rater().GroupResult(FieldGroup::Ups), RatingNone);
    EXPECT_EQ(Rater().GroupResult(FieldGroup::Harddisk), RatingOk);
}

TEST_F(CycleRaterTest, AStoppedUpsMakesTheFanGroupAnError)
{
    BuildList({{L"Fan0"}, {}, {L"V33"}, true});
    Set(L"Fan0", 3000, 3000);
    Field(L"Fan P24V250W").m_nValue = 0;
    Rater().Rate(true);
    EXPECT_EQ(Rater().GroupResult(FieldGroup::Fans), RatingError);
    EXPECT_EQ(Rater().GroupResult(FieldGroup::Voltage), RatingOk);
    EXPECT_EQ(Rater().GroupResult(FieldGroup::Ups), RatingOk);
}

TEST_F(CycleRaterTest, StateOfChargeIsTheBatteryCapacityWhateverItsRating)
{
    BuildList({{}, {}, {}, true});
    auto& battery = dynamic_cast<UpsBattData&>(Field(L"C9900-U330"));
    battery.m_nValue = 10;
    battery.m_nCapacity = 87;
    Rater().Rate(true);
    EXPECT_EQ(Rater().UpsStateOfCharge(), 87);
    EXPECT_EQ(Rater().GroupResult(FieldGroup::Ups), RatingError);
}

TEST_F(CycleRaterTest, GroupsFollowTheReadingsButTheDiskResultNeverFalls)
{
    BuildList({{}, {L"Temp0"}, {}, false});
    Set(L"Temp0", 80, 60);
    Set(L"HddLifetime", 50000, 45000);
    Rater().Rate(true);
    EXPECT_EQ(Rater().GroupResult(FieldGroup::Temp), RatingError);
    EXPECT_EQ(Rater().GroupResult(FieldGroup::Harddisk), RatingWarning);

    Set(L"Temp0", 50, 60);
    Set(L"HddLifetime", 100, 45000);
    Rater().Rate(true);
    EXPECT_EQ(Rater().GroupResult(FieldGroup::Temp), RatingOk);
    EXPECT_EQ(Rater().GroupResult(FieldGroup::Harddisk), RatingWarning);
}

// The disk group records the second rating of a counter that has just risen; the snapshot shows
// that one, not the first, or the field would contradict its group digit.
TEST_F(CycleRaterTest, ARisingDiskCounterCountsAsAWarningNotAnError)
{
    BuildList({{}, {}, {}, false});
    Rater().Rate(true);
    EXPECT_EQ(Rater().GroupResult(FieldGroup::Harddisk), RatingOk);
    // Far above any count rated before in this process: its first rating is an error.
    Field(L"HddCurrentPendingSectorCount").m_nValue = 65000;
    Rater().Rate(true);
    EXPECT_EQ(Rater().GroupResult(FieldGroup::Harddisk), RatingWarning);
    const CycleSnapshot snapshot = Rater().Snapshot();
    const FieldSnapshot* field = FindField(snapshot, L"HddCurrentPendingSectorCount");
    EXPECT_EQ(field->rating, RatingWarning);
    // The bands a person reads say the same: rising is a warning, not an error.
    EXPECT_EQ(field->warningBand, L"> 0, also rising");
    EXPECT_EQ(field->errorBand, L"");
    EXPECT_EQ(snapshot.groups[IndexOf(FieldGroup::Harddisk)].rating, RatingWarning);
    Rater().Rate(true);
    EXPECT_EQ(Rater().GroupResult(FieldGroup::Harddisk), RatingWarning);
}

// The disk group holds the worst rating its counters ever had, but its health readings count with
// their current rating: a drive that was hot and has cooled down rates ok again (the digit used
// to stay at warning until the add-on restarted).
TEST_F(CycleRaterTest, TheDiskGroupHoldsItsCountersButFollowsItsHealthReadings)
{
    platform::DriveBay device;
    fakes::FakeLogon logon;
    const platform::Substitute<platform::DiskDevice> deviceInPlace{device};
    const platform::Substitute<platform::Logon> logonInPlace{logon};
    device.Drive(0).nvme = true;
    MBDataAquisition::Harddisk disk(L"", L"");
    BuildList({{}, {}, {}, false, &disk});

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
        Rater().Rate(true);
        EXPECT_EQ(Field(L"HddTemperature").m_nValue, step.temperature);
        EXPECT_EQ(Rater().GroupResult(FieldGroup::Harddisk), step.group);
        // The snapshot carries the disk record of the list's last refresh.
        EXPECT_EQ(Rater().Snapshot().disk.temperature, step.temperature);
    }
}

TEST_F(CycleRaterTest, TheSnapshotHoldsEveryFieldWithItsRatingAndBands)
{
    BuildList({{L"Fan0", L"Fan1"}, {L"Temp0"}, {L"V12"}, true});
    Set(L"Fan0", 2500, 3000);  // below the warning band
    Set(L"Fan1", 100, 0);      // not watched: no bands
    Set(L"Temp0", 80, 60);     // above the error band
    Set(L"V12", 1200, 1200);
    Rater().Rate(true);
    const CycleSnapshot snapshot = Rater().Snapshot();
    ASSERT_EQ(snapshot.fields.size(), FieldCount());
    EXPECT_EQ(snapshot.fields.front().name, L"Fan0");
    EXPECT_EQ(snapshot.fields.back().name, L"ReallocatedSectorCount");

    const FieldSnapshot* fan = FindField(snapshot, L"Fan0");
    ASSERT_NE(fan, nullptr);
    EXPECT_EQ(fan->kind, L"fan");
    EXPECT_EQ(fan->value, 2500);
    EXPECT_EQ(fan->setpoint, 3000);
    EXPECT_EQ(fan->rating, RatingWarning);
    EXPECT_EQ(fan->warningBand, L"< 2700");
    EXPECT_EQ(fan->errorBand, L"< 2400");
    const FieldSnapshot* unwatched = FindField(snapshot, L"Fan1");
    EXPECT_EQ(unwatched->rating, RatingOk);
    EXPECT_TRUE(unwatched->warningBand.empty() && unwatched->errorBand.empty());
    EXPECT_EQ(FindField(snapshot, L"Temp0")->rating, RatingError);
    EXPECT_EQ(FindField(snapshot, L"Temp0")->warningBand, L"> 66");
    EXPECT_EQ(FindField(snapshot, L"V12")->warningBand, L"< 1080 or > 1320");
    EXPECT_EQ(FindField(snapshot, L"V12")->errorBand, L"< 960 or > 1440");
    EXPECT_EQ(FindField(snapshot, L"HddLifetime")->kind, L"disk_lifetime");
    EXPECT_EQ(FindField(snapshot, L"HddReallocationCount")->kind, L"disk_events");

    ASSERT_EQ(snapshot.groups.size(), kGroupCount);
    EXPECT_EQ(snapshot.groups[0].name, L"IPC_FANS");
    EXPECT_EQ(snapshot.groups[0].rating, RatingWarning);
    EXPECT_EQ(snapshot.groups[1].name, L"IPC_TEMP");
    EXPECT_EQ(snapshot.groups[1].rating, RatingError);
    EXPECT_EQ(snapshot.groups[3].name, L"IPC_CMOS_BAT");
    EXPECT_EQ(snapshot.groups[3].rating, RatingNone);
    EXPECT_EQ(snapshot.groups[5].name, L"UPS_WORKING");
}

// A broadcast that publishes no ratings has the cycle previewed: the ratings an evaluating cycle
// would record, without any side effect of rating (no log line, not even the disk fields' own;
// no change of the process-wide highest critical count).
TEST_F(CycleRaterTest, APreviewRatesAsEvaluateWithoutSideEffects)
{
    BuildList({{L"Fan0"}, {L"Temp0"}, {}, true});
    Set(L"Temp0", 80, 60);
    Set(L"HddLifetime", 9000, 8000);
    const std::int32_t l_nHighest = CriticalHddEventsData::HighestCriticalCount();
    Field(L"HddReallocationCount").m_nValue = l_nHighest + 7;
    {
        const fakes::LogCapture log(10);
        Rater().Rate(false);
        Rater().Rate(false);
        EXPECT_EQ(log.Contents().find("Evaluate"), std::string::npos);
    }
    const CycleSnapshot snapshot = Rater().Snapshot();
    ASSERT_EQ(snapshot.fields.size(), FieldCount());
    EXPECT_EQ(FindField(snapshot, L"Temp0")->rating, RatingError);
    EXPECT_EQ(FindField(snapshot, L"HddLifetime")->rating, RatingWarning);
    EXPECT_EQ(FindField(snapshot, L"HddReallocationCount")->rating, RatingWarning);
    EXPECT_EQ(snapshot.groups[IndexOf(FieldGroup::Temp)].rating, RatingError);
    EXPECT_EQ(snapshot.groups[IndexOf(FieldGroup::Harddisk)].rating, RatingWarning);
    EXPECT_EQ(CriticalHddEventsData::HighestCriticalCount(), l_nHighest);

    // An evaluating rater later in the process still sees the counter rise.
    CycleRater later(*List(), L"probe");
    later.Rate(true);
    EXPECT_EQ(CriticalHddEventsData::HighestCriticalCount(), l_nHighest + 7);
}

TEST_F(CycleRaterTest, LogsEveryFieldAndTheDiskPassAtLevel3)
{
    BuildList({{L"Fan0"}, {}, {}, false});
    Set(L"Fan0", 1234, 0);
    {
        const fakes::LogCapture log(3);
        Rater().Rate(true);
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
        EXPECT_EQ(testing_support::CountOf(text, "\t\tl_CurrentResult\t1\r\n"), 5u);
    }
    const fakes::LogCapture quiet(2);
    Rater().Rate(true);
    EXPECT_EQ(quiet.Contents().find("Evaluate"), std::string::npos);
}

}  // namespace
