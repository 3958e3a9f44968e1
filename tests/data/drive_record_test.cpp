#include <gtest/gtest.h>

#include <string>

#include "data/drive_record.h"

namespace {

using MBDataContainer::DriveHistory;
using MBDataContainer::DriveRecord;
using MBDataContainer::RecordedDay;

RecordedDay Day(MBDataContainer::RecordDay day, std::int64_t hours)
{
    RecordedDay entry;
    entry.day = day;
    entry.powerOnHours = hours;
    entry.percentageUsed = 40;
    entry.sectorCounters = {0, 1, 2, 3};
    entry.highestTemperature = 41;
    return entry;
}

// A record at its bounds: four drives of 400 days each.
DriveRecord FullRecord()
{
    DriveRecord record;
    for (int drive = 0; drive < 4; ++drive) {
        DriveHistory history{
            L"SAMSUNG MZ7LH240HAHQ-00005", L"S455NA0M71234" + std::to_wstring(drive), 20000, {}};
        for (int day = 0; day < 400; ++day) {
            history.days.push_back(Day(20000 + day, 10000 + 24 * day));
        }
        record.drives.push_back(history);
    }
    return record;
}

TEST(DriveRecord, ARenderedRecordReadsBackAsItWas)
{
    DriveRecord unreported;
    RecordedDay bare = Day(20300, 5);
    bare.percentageUsed.reset();
    bare.highestTemperature.reset();
    unreported.drives.push_back({L"WDC WD5000", L"", 20300, {bare}});
    DriveRecord noDays;
    noDays.drives.push_back({L"Model", L"123", 20300, {}});

    const struct {
        const char* name;
        DriveRecord record;
    } cases[] = {
        {"empty", DriveRecord{}},
        {"readings not reported, no serial", unreported},
        {"a drive without days", noDays},
        {"four drives of 400 days", FullRecord()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string text = MBDataContainer::RenderDriveRecord(c.record);
        const auto parsed = MBDataContainer::ParseDriveRecord(text);
        ASSERT_TRUE(parsed.has_value());
        EXPECT_EQ(*parsed, c.record);
    }
}

TEST(DriveRecord, LinesForAPerson)
{
    DriveRecord record;
    record.drives.push_back({L" KINGSTON\tSA400 ", L"50026B77\n", 20513, {Day(20513, 1204)}});
    record.drives[0].days[0].highestTemperature.reset();
    const std::string text = MBDataContainer::RenderDriveRecord(record);
    EXPECT_NE(text.find("\r\ndrive\r\nmodel: KINGSTON?SA400\r\nserial: 50026B77?\r\n"
                        "first seen: 2026-03-01\r\n2026-03-01 1204 40 0 1 2 3 -\r\n\r\nend\r\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(MBDataContainer::RecordedName(L" KINGSTON\tSA400 "), L"KINGSTON?SA400");
}

TEST(DriveRecord, EditedByHandItStillReads)
{
    const std::string text =
        "# comment\n\ndrive\nmodel:M\nserial:   S  \nfirst seen: 2024-02-29\n"
        "# a note of the service engineer\n2024-02-29\t100  5 0 0 0 0 -3\nend\n\n# after\n";
    const auto parsed = MBDataContainer::ParseDriveRecord(text);
    ASSERT_TRUE(parsed.has_value());
    ASSERT_EQ(parsed->drives.size(), 1u);
    EXPECT_EQ(parsed->drives[0].serial, L"S");
    EXPECT_EQ(parsed->drives[0].days.at(0).highestTemperature, -3);
}

TEST(DriveRecord, ACutGarbledOrOversizedTextIsNoRecord)
{
    const std::string good = MBDataContainer::RenderDriveRecord(FullRecord());
    const std::string head = "drive\nmodel: M\nserial: S\nfirst seen: 2026-03-01\n";
    DriveRecord fiveDrives = FullRecord();
    fiveDrives.drives.push_back(fiveDrives.drives[0]);
    DriveRecord longDrive = FullRecord();
    longDrive.drives[0].days.push_back(Day(20400, 1));

    const struct {
        const char* name;
        std::string text;
    } cases[] = {
        {"cut inside a line", good.substr(0, good.size() / 2)},
        {"cut before the end line", good.substr(0, good.size() - 5)},
        {"end line without its line break", good.substr(0, good.size() - 2)},
        {"five drives", MBDataContainer::RenderDriveRecord(fiveDrives)},
        {"401 days", MBDataContainer::RenderDriveRecord(longDrive)},
        {"a column missing", head + "2026-03-01 1204 40 0 0 0 0\nend\n"},
        {"a word for a number", head + "2026-03-01 1204 forty 0 0 0 0 38\nend\n"},
        {"a negative counter", head + "2026-03-01 1204 40 0 -1 0 0 38\nend\n"},
        {"a counter beyond 32 bits", head + "2026-03-01 1204 40 0 2147483648 0 0 38\nend\n"},
        {"no such date", head + "2026-02-29 1204 40 0 0 0 0 38\nend\n"},
        {"days out of order",
         head + "2026-03-02 1 40 0 0 0 0 38\n2026-03-01 2 40 0 0 0 0 38\nend\n"},
        {"a day twice", head + "2026-03-02 1 40 0 0 0 0 38\n2026-03-02 2 40 0 0 0 0 38\nend\n"},
        {"a day before first seen", head + "2026-02-28 1 40 0 0 0 0 38\nend\n"},
        {"serial before model", "drive\nserial: S\nmodel: M\nfirst seen: 2026-03-01\nend\n"},
        {"a day outside a drive", "2026-03-01 1 40 0 0 0 0 38\nend\n"},
        {"text after the end", head + "end\nx\n"},
        {"binary noise", std::string("drive\n\0\xff\n", 9)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(MBDataContainer::ParseDriveRecord(c.text).has_value());
    }
}

}  // namespace
