#include <gtest/gtest.h>

#include <string>

#include "common/temp_folder.h"
#include "data/drive_record_keeper.h"
#include "fakes/counting_replaced_file.h"
#include "fakes/log_capture.h"
#include "fakes/memory_environment.h"
#include "fakes/memory_profile.h"
#include "platform/seam.h"
#include "settings/settings.h"

namespace {

using MBDataContainer::DriveReading;
using MBDataContainer::DriveRecordKeeper;

constexpr std::int64_t kDay = 86400;
// 2026-03-01 12:00 UTC.
constexpr std::int64_t kNoon = 20513 * kDay + 12 * 3600;

DriveReading Reading(const wchar_t* serial, std::int64_t hours, int used = 40, int temperature = 40)
{
    DriveReading reading;
    reading.model = L"SAMSUNG MZ7LH240";
    reading.serial = serial;
    reading.powerOnHours = hours;
    reading.percentageUsed = used;
    reading.temperature = temperature;
    return reading;
}

// Once a day, and when a counter, the wear or the drive changes; not for hours or temperature.
TEST(DriveRecordKeeper, WritesWhenADayBeginsOrACounterChanges)
{
    DriveReading pending = Reading(L"S1", 1001);
    pending.sectorCounters[2] = 1;
    const struct {
        const char* name;
        DriveReading reading;
        std::int64_t time;
        int writes;
    } steps[] = {
        {"the first reading", Reading(L"S1", 1000), kNoon, 1},
        {"hours and temperature within the day", Reading(L"S1", 1001, 40, 45), kNoon + 3600, 1},
        {"a pending sector", pending, kNoon + 7200, 2},
        {"the wear", Reading(L"S1", 1002, 41), kNoon + 7300, 3},
        {"the next day", Reading(L"S1", 1020, 41), kNoon + kDay, 4},
        {"another drive", Reading(L"S2", 5, 1), kNoon + kDay + 10, 5},
        {"the same drive again", Reading(L"S2", 5, 1), kNoon + kDay + 20, 5},
    };
    const testing_support::TempFolder folder;
    fakes::CountingReplacedFile counting;
    const platform::Substitute<platform::ReplacedFile> inPlace(counting);
    DriveRecordKeeper keeper(folder.Path(L"record.txt"));
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        keeper.Observe(step.reading, step.time);
        EXPECT_EQ(counting.writes, step.writes);
    }
    // The day's last hours and highest temperature went out with the next day's write.
    EXPECT_NE(folder.Read(L"record.txt").find("2026-03-01 1002 41 0 0 0 0 45\r\n"),
              std::string::npos)
        << folder.Read(L"record.txt");
}

// A restart reads the days back; a drive seen before continues its history.
TEST(DriveRecordKeeper, ARestartGoesOnWithTheRecordedDays)
{
    const fakes::LogCapture log(0);
    const testing_support::TempFolder folder;
    const std::wstring path = folder.Path(L"record.txt");
    {
        DriveRecordKeeper first(path);
        first.Observe(Reading(L"S1", 1000), kNoon);
        first.Observe(Reading(L"S1", 1024), kNoon + kDay);
    }
    DriveRecordKeeper second(path);
    EXPECT_EQ(second.Current(), nullptr);
    second.Observe(Reading(L"S1", 1048), kNoon + 2 * kDay);
    ASSERT_NE(second.Current(), nullptr);
    EXPECT_EQ(second.Current()->days.size(), 3u);
    EXPECT_EQ(second.Current()->firstSeen, 20513);

    // A reading that names no serial number is no other drive.
    DriveReading unnamed = Reading(L"", 1049);
    unnamed.model.clear();
    second.Observe(unnamed, kNoon + 2 * kDay);
    EXPECT_EQ(second.Record().drives.size(), 1u);
    EXPECT_EQ(second.Current()->model, L"SAMSUNG MZ7LH240");
    second.Observe(Reading(L"S2", 7), kNoon + 2 * kDay);
    second.Observe(Reading(L"S1", 1049), kNoon + 2 * kDay);
    EXPECT_EQ(second.Record().drives.size(), 2u);
    EXPECT_EQ(second.Current()->days.size(), 3u);
    const std::string text = log.Contents();
    EXPECT_NE(text.find("System disk replaced: SAMSUNG MZ7LH240 S2 -> SAMSUNG MZ7LH240 S1"),
              std::string::npos);
}

// At most four drives and 400 days each: the oldest go first.
TEST(DriveRecordKeeper, KeepsItsBounds)
{
    const testing_support::TempFolder folder;
    DriveRecordKeeper keeper(folder.Path(L"record.txt"));
    for (int drive = 0; drive < 6; ++drive) {
        keeper.Observe(Reading(std::to_wstring(drive).c_str(), drive), kNoon + drive);
    }
    for (int day = 1; day <= 450; ++day) {
        keeper.Observe(Reading(L"5", 24 * day), kNoon + day * kDay);
    }
    const auto& drives = keeper.Record().drives;
    ASSERT_EQ(drives.size(), 4u);
    EXPECT_EQ(drives.front().serial, L"2");
    EXPECT_EQ(drives.back().days.size(), 400u);
    EXPECT_EQ(drives.back().days.front().powerOnHours, 24 * 51);
    const auto reread = MBDataContainer::ParseDriveRecord(folder.Read(L"record.txt"));
    ASSERT_TRUE(reread.has_value());
    EXPECT_EQ(*reread, keeper.Record());
}

TEST(DriveRecordKeeper, AGarbledFileIsKeptAsideAndANewRecordBegins)
{
    const fakes::LogCapture log(0);
    const testing_support::TempFolder folder;
    const std::string garbled =
        "drive\nmodel: M\nserial: S1\nfirst seen: 2026-03-01\n2026-03-01 10";
    folder.Write(L"record.txt", garbled);
    DriveRecordKeeper keeper(folder.Path(L"record.txt"));
    EXPECT_TRUE(keeper.Record().drives.empty());
    EXPECT_EQ(folder.Read(L"record.txt.bad"), garbled);
    keeper.Observe(Reading(L"S1", 1000), kNoon);
    EXPECT_NE(folder.Read(L"record.txt").find("\r\nend\r\n"), std::string::npos);
    const std::string text = log.Contents();
    EXPECT_NE(text.find("Drive record cut or garbled; kept as"), std::string::npos) << text;
    EXPECT_EQ(text.find("System disk replaced"), std::string::npos);
}

// Beside the values file unless "RecordFile" names another place; empty keeps no file.
TEST(DriveRecordKeeper, ThePathComesFromTheSettings)
{
    const struct {
        const wchar_t* setting;
        const wchar_t* path;
    } cases[] = {
        {nullptr, L"C:\\Users\\op\\Temp\\VexaDriveRecord.txt"},
        {L"D:\\Vexa\\drives.txt", L"D:\\Vexa\\drives.txt"},
        {L"", L""},
    };
    fakes::MemoryEnvironment environment{{{L"TEMP", L"C:\\Users\\op\\Temp"}}};
    const platform::Substitute<platform::Environment> environmentInPlace(environment);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        fakes::MemoryProfile profile;
        if (c.setting != nullptr) {
            profile.entries[{GetModuleIniPath(), L"HDD", L"RecordFile"}] = c.setting;
        }
        const platform::Substitute<platform::Profile> profileInPlace(profile);
        EXPECT_EQ(MBDataContainer::ReadDriveRecordPath(), c.path);
    }
}

}  // namespace
