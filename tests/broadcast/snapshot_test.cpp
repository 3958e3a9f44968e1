#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "broadcast/broadcast.h"
#include "broadcast/broadcast_fixture.h"
#include "broadcast/visiwin_classic.h"
#include "data/hdd_fields.h"
#include "fakes/log_capture.h"

namespace {

using broadcast_test::BroadcastTest;
using namespace MBDataContainer;

class Rated : public MBBroadcast::Broadcast {
public:
    using Broadcast::Broadcast;
    void Send() override {}
};

const MBDataContainer::FieldSnapshot* FindField(const MBDataContainer::CycleSnapshot& snapshot,
                                                const std::wstring& name)
{
    for (const MBDataContainer::FieldSnapshot& field : snapshot.fields) {
        if (field.name == name) {
            return &field;
        }
    }
    return nullptr;
}

using SnapshotTest = BroadcastTest;

TEST_F(SnapshotTest, HoldsEveryFieldWithTheRatingTheBroadcastGaveIt)
{
    BuildList({{L"Fan0"}, {L"Temp0"}, {L"V12"}, true});
    Set(L"Fan0", 2500, 3000);  // below the warning band
    Set(L"Temp0", 80, 60);     // above the error band
    Set(L"V12", 1200, 1200);
    Rated broadcast(List());
    MBDataContainer::CycleSnapshot before;
    broadcast.FillSnapshot(before);
    EXPECT_TRUE(before.fields.empty());

    broadcast.Evaluate();
    MBDataContainer::CycleSnapshot snapshot;
    broadcast.FillSnapshot(snapshot);
    ASSERT_EQ(snapshot.fields.size(), FieldCount());
    EXPECT_EQ(snapshot.fields.front().name, L"Fan0");
    EXPECT_EQ(snapshot.fields.back().name, L"ReallocatedSectorCount");

    const MBDataContainer::FieldSnapshot* fan = FindField(snapshot, L"Fan0");
    ASSERT_NE(fan, nullptr);
    EXPECT_EQ(fan->kind, L"fan");
    EXPECT_EQ(fan->value, 2500);
    EXPECT_EQ(fan->setpoint, 3000);
    EXPECT_EQ(fan->rating, RatingWarning);
    EXPECT_EQ(fan->warningBand, L"< 2700");
    EXPECT_EQ(fan->errorBand, L"< 2400");
    EXPECT_EQ(FindField(snapshot, L"Temp0")->rating, RatingError);
    EXPECT_EQ(FindField(snapshot, L"Temp0")->warningBand, L"> 66");
    EXPECT_EQ(FindField(snapshot, L"V12")->warningBand, L"< 1080 or > 1320");
    EXPECT_EQ(FindField(snapshot, L"V12")->errorBand, L"< 960 or > 1440");
    EXPECT_EQ(FindField(snapshot, L"HddLifetime")->kind, L"disk_lifetime");
    EXPECT_EQ(FindField(snapshot, L"HddReallocationCount")->kind, L"disk_events");

    ASSERT_EQ(snapshot.groups.size(), 6u);
    EXPECT_EQ(snapshot.groups[0].name, L"IPC_FANS");
    EXPECT_EQ(snapshot.groups[0].rating, RatingWarning);
    EXPECT_EQ(snapshot.groups[1].name, L"IPC_TEMP");
    EXPECT_EQ(snapshot.groups[1].rating, RatingError);
    EXPECT_EQ(snapshot.groups[3].name, L"IPC_CMOS_BAT");
    EXPECT_EQ(snapshot.groups[3].rating, RatingNone);
    EXPECT_EQ(snapshot.groups[5].name, L"UPS_WORKING");
}

// The disk group records the second rating of a counter that has just risen; the snapshot must
// show that one, not the first, or the field would contradict its group digit.
TEST_F(SnapshotTest, ARisingDiskCounterShowsTheRatingItsGroupRecorded)
{
    BuildList({{}, {}, {}, false});
    Rated broadcast(List());
    broadcast.Evaluate();
    Field(L"HddCurrentPendingSectorCount").m_nValue = 65000;
    broadcast.Evaluate();
    MBDataContainer::CycleSnapshot snapshot;
    broadcast.FillSnapshot(snapshot);
    EXPECT_EQ(FindField(snapshot, L"HddCurrentPendingSectorCount")->rating, RatingWarning);
    // The bands a person reads say the same: rising is a warning, not an error.
    EXPECT_EQ(FindField(snapshot, L"HddCurrentPendingSectorCount")->warningBand,
              L"> 0, also rising");
    EXPECT_EQ(FindField(snapshot, L"HddCurrentPendingSectorCount")->errorBand, L"");
    EXPECT_EQ(snapshot.groups[4].name, L"IPC_HARDDISK");
    EXPECT_EQ(snapshot.groups[4].rating, RatingWarning);
}

TEST_F(SnapshotTest, UnwatchedFieldsHaveNoBands)
{
    BuildList({{L"Fan0"}, {}, {}, false});
    Set(L"Fan0", 100, 0);
    Rated broadcast(List());
    broadcast.Evaluate();
    MBDataContainer::CycleSnapshot snapshot;
    broadcast.FillSnapshot(snapshot);
    EXPECT_TRUE(FindField(snapshot, L"Fan0")->warningBand.empty());
    EXPECT_TRUE(FindField(snapshot, L"Fan0")->errorBand.empty());
    EXPECT_EQ(FindField(snapshot, L"Fan0")->rating, RatingOk);
}

// The classic broadcast publishes no ratings, but its cycles are rated for the snapshot: with the
// ratings a values-file broadcast would record, and without any side effect of rating (no log
// line, not even the disk fields' own; no change of the process-wide highest critical count).
TEST_F(SnapshotTest, TheClassicBroadcastRatesForTheSnapshotWithoutSideEffects)
{
    BuildList({{L"Fan0"}, {L"Temp0"}, {}, true});
    Set(L"Temp0", 80, 60);
    Set(L"HddLifetime", 9000, 8000);
    const std::int32_t l_nHighest = CriticalHddEventsData::HighestCriticalCount();
    Field(L"HddReallocationCount").m_nValue = l_nHighest + 7;
    MBBroadcast::VisiWinClassic broadcast(List());
    const fakes::LogCapture log(10);
    broadcast.Send();
    broadcast.Send();
    MBDataContainer::CycleSnapshot snapshot;
    broadcast.FillSnapshot(snapshot);
    ASSERT_EQ(snapshot.fields.size(), FieldCount());
    EXPECT_EQ(FindField(snapshot, L"Temp0")->rating, RatingError);
    EXPECT_EQ(FindField(snapshot, L"HddLifetime")->rating, RatingWarning);
    EXPECT_EQ(FindField(snapshot, L"HddReallocationCount")->rating, RatingWarning);
    EXPECT_EQ(snapshot.groups[1].rating, RatingError);
    EXPECT_EQ(snapshot.groups[4].rating, RatingWarning);
    EXPECT_EQ(log.Contents().find("Evaluate"), std::string::npos);
    EXPECT_EQ(CriticalHddEventsData::HighestCriticalCount(), l_nHighest);

    // A values-file broadcast later in the process still sees the counter rise.
    Rated later(List());
    later.Evaluate();
    EXPECT_EQ(CriticalHddEventsData::HighestCriticalCount(), l_nHighest + 7);
}

}  // namespace
