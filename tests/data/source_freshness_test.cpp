#include "data/source_freshness.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "common/count_of.h"
#include "fakes/fake_clock.h"
#include "fakes/log_capture.h"
#include "platform/seam.h"

namespace {

using MBDataContainer::SourceFreshness;

constexpr std::int64_t kStart = 1796719505;

class SourceFreshnessTest : public testing::Test {
protected:
    fakes::FakeClock m_Clock{kStart};
    platform::Substitute<platform::Clock> m_ClockInPlace{m_Clock};
    fakes::LogCapture m_Log{0};
};

// One cycle after another on a faked clock, the sensor limit 30 s, the disk limit 60 s.
TEST_F(SourceFreshnessTest, AgesFollowTheDataAndTheDiskReadsOnThePlatformClock)
{
    SourceFreshness freshness({30, 60});
    const struct {
        std::int64_t advance;
        const char* data;
        bool diskRead;  // this cycle's record says the refresh read the drive
        std::int64_t sensorAge;
        std::int64_t diskAge;
        bool sensorsStale;
        bool diskStale;
    } cycles[] = {
        {0, "", false, 0, 0, false, true},        // no data yet: ages from the start; a disk
        {20, "", false, 20, 20, false, true},     // never read is stale at once
        {5, "line 1", true, 0, 0, false, false},  // data: fresh; the disk was read
        {29, "line 1", false, 29, 29, false, false},
        {1, "line 1", false, 30, 30, true, false},      // the limit reached is stale
        {10, "", false, 40, 40, true, false},           // no data: ages from the last change
        {10, "line 1", false, 50, 50, true, false},     // the same line again is no change
        {10, "line 2", false, 0, 60, false, true},      // a new line is fresh; the disk is stale
        {10, "line 2", true, 10, 0, false, false},      // the disk read again
        {-1000, "line 2", false, 10, 0, false, false},  // a clock set back keeps both ages
        {5, "line 2", false, 15, 5, false, false},
        {16, "line 2", true, 31, 0, true, false},
        {-3600, "line 2", false, 31, 0, true, false},  // and a stale source stale
        {5, "line 2", false, 36, 5, true, false},
        {7200, "line 2", false, 36, 5, true, false},  // a clock set forward ages nothing
        {6, "line 2", false, 42, 11, true, false},
    };
    for (std::size_t i = 0; i < std::size(cycles); ++i) {
        const auto& cycle = cycles[i];
        SCOPED_TRACE(i);
        // Negative steps and steps of an hour or more are corrections of the wall clock.
        if (cycle.advance < 0 || cycle.advance >= 3600) {
            m_Clock.Correct(cycle.advance);
        } else {
            m_Clock.Advance(cycle.advance);
        }
        MBDataAquisition::DiskHealth disk;
        disk.source =
            cycle.diskRead ? MBDataAquisition::DiskSource::Ata : MBDataAquisition::DiskSource::None;
        // A cycle that did not refresh the disk passes no record at all on every third row.
        freshness.Observe(cycle.data, cycle.diskRead || i % 3 != 0 ? &disk : nullptr);
        EXPECT_EQ(freshness.Ages().sensorSeconds, cycle.sensorAge);
        EXPECT_EQ(freshness.Ages().diskSeconds, cycle.diskAge);
        EXPECT_EQ(freshness.Ages().sensorsStale, cycle.sensorsStale);
        EXPECT_EQ(freshness.Ages().diskStale, cycle.diskStale);
    }
    // Each change of state is told once.
    const std::string log = m_Log.Normalized(true);
    const std::string location = "MBDataContainer::SourceFreshness::Observe  line: N\t\t";
    for (const char* line : {"System disk never read", "Sensor data unchanged for 30 s",
                             "Sensor data changing again", "System disk not read for 60 s"}) {
        SCOPED_TRACE(line);
        const std::size_t found = log.find(location + line + "\r\n");
        ASSERT_NE(found, std::string::npos) << log;
        EXPECT_EQ(log.find(location + line, found + 1), std::string::npos) << log;
    }
    // Read after never having been, and read again after 60 s.
    EXPECT_EQ(testing_support::CountOf(log, location + "System disk read again"), 2u) << log;
}

TEST_F(SourceFreshnessTest, ALimitOf0TurnsItsCheckOff)
{
    SourceFreshness freshness({0, 0});
    m_Clock.Advance(10LL * 365 * 24 * 3600);
    freshness.Observe("same", nullptr);
    EXPECT_EQ(freshness.Ages().diskSeconds, 10LL * 365 * 24 * 3600);
    EXPECT_FALSE(freshness.Ages().sensorsStale);
    EXPECT_FALSE(freshness.Ages().diskStale);
    EXPECT_EQ(m_Log.Contents().find("unchanged"), std::string::npos);
}

}  // namespace
