#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "broadcast/status_table.h"

namespace {

MBDataContainer::CycleSnapshot Sample()
{
    MBDataContainer::CycleSnapshot snapshot;
    MBDataContainer::FieldSnapshot fan;
    fan.name = L"Fan0";
    fan.value = 2481;
    fan.setpoint = 2500;
    fan.rating = 1;
    fan.warningBand = L"< 2250";
    fan.errorBand = L"< 2000";
    MBDataContainer::FieldSnapshot temp;
    temp.name = L"HddCurrentPendingSectorCount";
    temp.value = 12345;
    temp.setpoint = 0;
    temp.rating = 3;
    snapshot.fields = {fan, temp};
    snapshot.groups = {{L"IPC_FANS", 1}, {L"IPC_HARDDISK", 3}, {L"IPC_CMOS_BAT", 0}};
    snapshot.upsStateOfCharge = 87;
    snapshot.sensorSource = L"probe";
    snapshot.disk.source = MBDataAquisition::DiskSource::Ata;
    snapshot.disk.drive = 1;
    snapshot.disk.model = L"WDC WD10EZEX";
    snapshot.disk.access = MBDataAquisition::DiskAccess::WithoutRights;
    snapshot.cycles = 3;
    snapshot.failedCycles = 1;
    snapshot.sensorAgeSeconds = 12;
    snapshot.diskAgeSeconds = 3600;
    snapshot.diskStale = true;
    return snapshot;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    return lines;
}

TEST(StatusTable, ColumnsLineUpAndRatingsAreWords)
{
    const std::vector<std::string> lines = Lines(MBBroadcast::RenderStatusTable(Sample(), false));
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], "field                         reading  setpoint  warning  error   rating");
    EXPECT_EQ(lines[1], "Fan0                             2481      2500  < 2250   < 2000  ok");
    EXPECT_EQ(lines[2], "HddCurrentPendingSectorCount    12345         0  -        -       error");
    EXPECT_EQ(lines[3], "");
    EXPECT_EQ(lines[4], "group         digit  rating");
    EXPECT_EQ(lines[5], "IPC_FANS          1  ok");
    EXPECT_EQ(lines[6], "IPC_HARDDISK      3  error");
    EXPECT_EQ(lines[7], "IPC_CMOS_BAT      0  none");
    const std::string text = MBBroadcast::RenderStatusTable(Sample(), false);
    EXPECT_NE(text.find("UPS state of charge  87 %\n"), std::string::npos);
    EXPECT_NE(text.find("UPS                  no UPS service\n"), std::string::npos);
    EXPECT_NE(text.find("sensor source        probe\n"), std::string::npos);
    EXPECT_NE(text.find("disk source          ATA\n"), std::string::npos);
    EXPECT_NE(text.find("system disk          drive 1, WDC WD10EZEX\n"), std::string::npos);
    EXPECT_NE(text.find("disk read            without administrator rights\n"), std::string::npos);
    EXPECT_NE(text.find("sensor data age      12 s\n"), std::string::npos);
    EXPECT_NE(text.find("disk data age        3600 s, stale\n"), std::string::npos);
    EXPECT_NE(text.find("cycles               3, failed 1, failed in a row 0\n"),
              std::string::npos);
    for (const std::string& line : lines) {
        EXPECT_TRUE(line.empty() || line.back() != ' ') << "trailing blanks: " << line;
    }
}

TEST(StatusTable, TheDiskLifeRows)
{
    using MBDataContainer::ForecastBasis;
    const struct {
        MBDataContainer::DaysLeftForecast forecast;
        std::optional<MBDataContainer::RecordDay> firstSeen;
        const char* rows;
    } cases[] = {
        {{-1, ForecastBasis::None, 3, 40},
         20513,
         "disk days left       not enough data (3 of 14 days)\n"
         "disk first seen      2026-03-01\n"},
        {{-1, ForecastBasis::None, 60, std::nullopt},
         std::nullopt,
         "disk days left       not enough data (14 of 14 days)\ndisk first seen      -\n"},
        {{80, ForecastBasis::Wear, 40, 60},
         20513,
         "disk days left       80 (basis wear, wear 60 %)\n"},
        {{1429, ForecastBasis::Hours, 29, std::nullopt},
         20513,
         "disk days left       1429 (basis hours)\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rows);
        MBDataContainer::CycleSnapshot snapshot = Sample();
        snapshot.daysLeft = c.forecast;
        snapshot.diskFirstSeen = c.firstSeen;
        EXPECT_NE(MBBroadcast::RenderStatusTable(snapshot, false).find(c.rows), std::string::npos)
            << MBBroadcast::RenderStatusTable(snapshot, false);
    }
}

// The table says what the log says: a failed logon of the administrator, and why the run's
// first failed cycle failed; neither line appears without its cause.
TEST(StatusTable, NamesAFailedLogonAndTheFirstFailure)
{
    const struct {
        bool logonFailed;
        const wchar_t* firstFailure;
        const char* line;
        bool present;
    } cases[] = {
        {true, L"",
         "disk read            without administrator rights (the runtime's own: the "
         "administrator's logon failed)\n",
         true},
        {false, L"", "first failure", false},
        {false, L"Unable to write ini file! (at X)",
         "first failure        Unable to write ini file! (at X)\n", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        MBDataContainer::CycleSnapshot snapshot = Sample();
        snapshot.diskLogonFailed = c.logonFailed;
        snapshot.firstFailure = c.firstFailure;
        const std::string text = MBBroadcast::RenderStatusTable(snapshot, false);
        EXPECT_EQ(text.find(c.line) != std::string::npos, c.present) << text;
    }
}

TEST(StatusTable, ColourOnlyWhenAsked)
{
    const std::string plain = MBBroadcast::RenderStatusTable(Sample(), false);
    EXPECT_EQ(plain.find('\x1b'), std::string::npos);
    const std::string coloured = MBBroadcast::RenderStatusTable(Sample(), true);
    EXPECT_NE(coloured.find("\x1b[31merror\x1b[0m"), std::string::npos);
    EXPECT_NE(coloured.find("\x1b[32mok\x1b[0m"), std::string::npos);
}

}  // namespace
