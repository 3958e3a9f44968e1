#include "data/drive_record.h"

#include <cstdio>
#include <limits>

#include "platform/text.h"

namespace MBDataContainer {
namespace {

const char kHeader[] =
    "# Drive record of the hardware-health monitor: the system disk's history, kept across\r\n"
    "# restarts. Per drive its model, serial number and the day it was first seen, then one "
    "line\r\n"
    "# a day (dates in UTC): date, power-on hours, percentage used, off-line uncorrectable\r\n"
    "# sectors, reallocation events, current pending sectors, reallocated sectors, the day's\r\n"
    "# highest temperature in degrees Celsius; \"-\" where the drive does not report a "
    "reading.\r\n";
const char kDriveLine[] = "drive";
const char kModelKey[] = "model:";
const char kSerialKey[] = "serial:";
const char kFirstSeenKey[] = "first seen:";
const char kEndLine[] = "end";

constexpr std::int64_t kMaxHours = 1000000000000;

// Howard Hinnant's conversions between days since 1970 and the proleptic Gregorian calendar.
RecordDay DaysFromCivil(std::int64_t year, unsigned month, unsigned day)
{
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const unsigned yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

void CivilFromDays(RecordDay days, std::int64_t& year, unsigned& month, unsigned& day)
{
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const unsigned dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned monthIndex = (5 * dayOfYear + 2) / 153;
    day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
    month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
    year = static_cast<std::int64_t>(yearOfEra) + era * 400 + (month <= 2 ? 1 : 0);
}

// A decimal number of at most 15 digits, with an optional leading '-', within [low, high].
std::optional<std::int64_t> ParseNumber(const std::string& text, std::int64_t low,
                                        std::int64_t high)
{
    const bool negative = !text.empty() && text[0] == '-';
    const std::size_t start = negative ? 1 : 0;
    if (text.size() == start || text.size() - start > 15) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (std::size_t i = start; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return std::nullopt;
        }
        value = value * 10 + (text[i] - '0');
    }
    value = negative ? -value : value;
    if (value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();

// "-" for an absent reading.
bool ParseOptional(const std::string& text, std::optional<std::int32_t>& out)
{
    if (text == "-") {
        out.reset();
        return true;
    }
    const std::optional<std::int64_t> value = ParseNumber(text, kInt32Min, kInt32Max);
    if (!value) {
        return false;
    }
    out = static_cast<std::int32_t>(*value);
    return true;
}

std::string OptionalText(const std::optional<std::int32_t>& value)
{
    return value ? std::to_string(*value) : "-";
}

std::vector<std::string> Words(const std::string& line)
{
    std::vector<std::string> words;
    std::size_t position = 0;
    while (position < line.size()) {
        const std::size_t start = line.find_first_not_of(" \t", position);
        if (start == std::string::npos) {
            break;
        }
        const std::size_t end = line.find_first_of(" \t", start);
        words.push_back(line.substr(start, end == std::string::npos ? end : end - start));
        position = end == std::string::npos ? line.size() : end;
    }
    return words;
}

std::optional<RecordedDay> ParseDayLine(const std::string& line)
{
    const std::vector<std::string> words = Words(line);
    if (words.size() != 4 + RecordedDay::kSectorCounterCount) {
        return std::nullopt;
    }
    RecordedDay entry;
    const std::optional<RecordDay> day = ParseDayText(words[0]);
    const std::optional<std::int64_t> hours = ParseNumber(words[1], 0, kMaxHours);
    if (!day || !hours || !ParseOptional(words[2], entry.percentageUsed) ||
        !ParseOptional(words[7], entry.highestTemperature)) {
        return std::nullopt;
    }
    entry.day = *day;
    entry.powerOnHours = *hours;
    for (std::size_t k = 0; k < RecordedDay::kSectorCounterCount; ++k) {
        const std::optional<std::int64_t> count = ParseNumber(words[3 + k], 0, kInt32Max);
        if (!count) {
            return std::nullopt;
        }
        entry.sectorCounters[k] = static_cast<std::int32_t>(*count);
    }
    return entry;
}

std::string Trimmed(const std::string& text)
{
    const std::size_t start = text.find_first_not_of(" \t");
    if (start == std::string::npos) {
        return {};
    }
    return text.substr(start, text.find_last_not_of(" \t") - start + 1);
}

// The name as one line of 8-bit text, without the blanks around it.
std::string NameText(const std::wstring& name)
{
    std::string text = platform::WideToAnsi(name);
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            c = '?';
        }
    }
    return Trimmed(text);
}

bool StartsWith(const std::string& line, const char* prefix)
{
    return line.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

// The text after `key` on the line without the blanks around it, or nothing when the line is not
// that key's.
std::optional<std::string> KeyValue(const std::string& line, const char* key)
{
    if (!StartsWith(line, key)) {
        return std::nullopt;
    }
    return Trimmed(line.substr(std::char_traits<char>::length(key)));
}

}  // namespace

std::wstring RecordedName(const std::wstring& name)
{
    return platform::AnsiToWide(NameText(name));
}

bool RecordedDay::operator==(const RecordedDay& other) const
{
    return day == other.day && powerOnHours == other.powerOnHours &&
           percentageUsed == other.percentageUsed && sectorCounters == other.sectorCounters &&
           highestTemperature == other.highestTemperature;
}

bool DriveHistory::operator==(const DriveHistory& other) const
{
    return model == other.model && serial == other.serial && firstSeen == other.firstSeen &&
           days == other.days;
}

std::string DayText(RecordDay day)
{
    std::int64_t year = 0;
    unsigned month = 0;
    unsigned dayOfMonth = 0;
    CivilFromDays(day, year, month, dayOfMonth);
    char text[32];
    std::snprintf(text, sizeof text, "%04lld-%02u-%02u", static_cast<long long>(year), month,
                  dayOfMonth);
    return text;
}

std::optional<RecordDay> ParseDayText(const std::string& text)
{
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') {
        return std::nullopt;
    }
    const std::optional<std::int64_t> year = ParseNumber(text.substr(0, 4), 1970, 9999);
    const std::optional<std::int64_t> month = ParseNumber(text.substr(5, 2), 1, 12);
    const std::optional<std::int64_t> day = ParseNumber(text.substr(8, 2), 1, 31);
    if (!year || !month || !day) {
        return std::nullopt;
    }
    const RecordDay days =
        DaysFromCivil(*year, static_cast<unsigned>(*month), static_cast<unsigned>(*day));
    // 31 February and its like come back as another date.
    if (DayText(days) != text) {
        return std::nullopt;
    }
    return days;
}

std::string RenderDriveRecord(const DriveRecord& record)
{
    std::string text = kHeader;
    for (const DriveHistory& drive : record.drives) {
        text += "\r\n";
        text += kDriveLine;
        text += "\r\n";
        text += std::string(kModelKey) + " " + NameText(drive.model) + "\r\n";
        text += std::string(kSerialKey) + " " + NameText(drive.serial) + "\r\n";
        text += std::string(kFirstSeenKey) + " " + DayText(drive.firstSeen) + "\r\n";
        for (const RecordedDay& entry : drive.days) {
            text += DayText(entry.day) + " " + std::to_string(entry.powerOnHours) + " " +
                    OptionalText(entry.percentageUsed);
            for (const std::int32_t count : entry.sectorCounters) {
                text += " " + std::to_string(count);
            }
            text += " " + OptionalText(entry.highestTemperature) + "\r\n";
        }
    }
    text += "\r\n";
    text += kEndLine;
    text += "\r\n";
    return text;
}

std::optional<DriveRecord> ParseDriveRecord(const std::string& text)
{
    // What the next line of a drive block must be.
    enum class Expect { Drive, Model, Serial, FirstSeen, Days, Nothing };
    Expect expect = Expect::Drive;
    DriveRecord record;
    std::size_t position = 0;
    while (position < text.size()) {
        std::size_t end = text.find('\n', position);
        if (end == std::string::npos) {
            // The end line stands on a line of its own, ended like every other.
            return std::nullopt;
        }
        std::string line = text.substr(position, end - position);
        position = end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line[0] == '#') {
            continue;
        }
        if (expect == Expect::Nothing) {
            return std::nullopt;
        }
        if (expect == Expect::Drive || expect == Expect::Days) {
            if (line == kEndLine) {
                expect = Expect::Nothing;
                continue;
            }
            if (line == kDriveLine) {
                if (record.drives.size() == DriveRecord::kMaxDrives) {
                    return std::nullopt;
                }
                record.drives.emplace_back();
                expect = Expect::Model;
                continue;
            }
            if (expect == Expect::Drive) {
                return std::nullopt;
            }
            const std::optional<RecordedDay> entry = ParseDayLine(line);
            DriveHistory& drive = record.drives.back();
            if (!entry || drive.days.size() == DriveRecord::kMaxDays ||
                entry->day < drive.firstSeen ||
                (!drive.days.empty() && entry->day <= drive.days.back().day)) {
                return std::nullopt;
            }
            drive.days.push_back(*entry);
            continue;
        }
        DriveHistory& drive = record.drives.back();
        if (expect == Expect::Model) {
            const std::optional<std::string> model = KeyValue(line, kModelKey);
            if (!model) {
                return std::nullopt;
            }
            drive.model = platform::AnsiToWide(*model);
            expect = Expect::Serial;
        } else if (expect == Expect::Serial) {
            const std::optional<std::string> serial = KeyValue(line, kSerialKey);
            if (!serial) {
                return std::nullopt;
            }
            drive.serial = platform::AnsiToWide(*serial);
            expect = Expect::FirstSeen;
        } else {
            const std::optional<std::string> firstSeen = KeyValue(line, kFirstSeenKey);
            const std::optional<RecordDay> day =
                firstSeen ? ParseDayText(*firstSeen) : std::optional<RecordDay>();
            if (!day) {
                return std::nullopt;
            }
            drive.firstSeen = *day;
            expect = Expect::Days;
        }
    }
    if (expect != Expect::Nothing) {
        return std::nullopt;
    }
    return record;
}

}  // namespace MBDataContainer
