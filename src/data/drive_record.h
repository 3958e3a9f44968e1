#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace MBDataContainer {

// Days since 1 January 1970 (UTC): the record's calendar, free of time zones and summer time.
using RecordDay = std::int64_t;

// One day of a drive's life as the monitor saw it: the last readings of the day and the day's
// highest temperature.
struct RecordedDay {
    static constexpr std::size_t kSectorCounterCount = 4;

    RecordDay day = 0;
    std::int64_t powerOnHours = 0;
    // Percentage of the rated life used; empty when the drive does not report it.
    std::optional<std::int32_t> percentageUsed;
    // Off-line uncorrectable sectors, reallocation events, current pending sectors, reallocated
    // sectors: the disk counters after the power-on hours, in the data list's order.
    std::array<std::int32_t, kSectorCounterCount> sectorCounters{};
    // Degrees Celsius; empty when the drive does not report it.
    std::optional<std::int32_t> highestTemperature;

    bool operator==(const RecordedDay& other) const;
};

// One drive: who it is, when it was first seen, its days in order (oldest first).
struct DriveHistory {
    std::wstring model;
    std::wstring serial;
    RecordDay firstSeen = 0;
    std::vector<RecordedDay> days;

    bool operator==(const DriveHistory& other) const;
};

// Every drive the record knows, the system disk of the latest day last.
struct DriveRecord {
    static constexpr std::size_t kMaxDrives = 4;
    static constexpr std::size_t kMaxDays = 400;

    std::vector<DriveHistory> drives;

    bool operator==(const DriveRecord& other) const { return drives == other.drives; }
};

// "2026-03-01" for a day, and back; nothing for text that is no such date.
std::string DayText(RecordDay day);
std::optional<RecordDay> ParseDayText(const std::string& text);

// A drive's model or serial number as the record keeps it: in the ANSI code page, control
// characters as '?', without the blanks around it. Names are compared in this form.
std::wstring RecordedName(const std::wstring& name);

// The record as the text file holds it: a comment that explains the columns, one block per
// drive, an end line. Lines end with CR LF; names are written in the ANSI code page, with line
// breaks and other control characters replaced by '?', so a name cannot break the file.
std::string RenderDriveRecord(const DriveRecord& record);

// The record of a text written by RenderDriveRecord (also with LF alone, or with comment and
// blank lines added). Nothing when the text is cut (no end line), garbled or beyond the bounds:
// more drives or days than kept, days out of order, a number out of range.
std::optional<DriveRecord> ParseDriveRecord(const std::string& text);

}  // namespace MBDataContainer
