#include "broadcast/status_table.h"

#include <algorithm>
#include <vector>

#include "broadcast/metrics_text.h"
#include "platform/text.h"
#include "support/local_time.h"

namespace MBBroadcast {
namespace {

using Row = std::vector<std::string>;

const char* ColourOf(MBDataContainer::Rating rating)
{
    switch (rating) {
    case MBDataContainer::RatingOk:
        return "\x1b[32m";
    case MBDataContainer::RatingWarning:
        return "\x1b[33m";
    case MBDataContainer::RatingError:
        return "\x1b[31m";
    default:
        return "";
    }
}

std::string RatingText(MBDataContainer::Rating rating, bool colour)
{
    const std::string word = platform::WideToUtf8(MBDataContainer::RatingWord(rating));
    const std::string start = colour ? ColourOf(rating) : "";
    return start.empty() ? word : start + word + "\x1b[0m";
}

// Counts code points, so that names beyond ASCII still line up.
std::size_t Width(const std::string& text)
{
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// Columns separated by two spaces; numbers (`rightAligned`) flush right. The last column is not
// padded, so a colour code there does not upset the widths and no line ends in blanks.
void AppendTable(std::string& out, const std::vector<Row>& rows,
                 const std::vector<bool>& rightAligned)
{
    std::vector<std::size_t> widths(rightAligned.size(), 0);
    for (const Row& row : rows) {
        for (std::size_t column = 0; column + 1 < row.size(); ++column) {
            widths[column] = std::max(widths[column], Width(row[column]));
        }
    }
    for (const Row& row : rows) {
        std::string line;
        for (std::size_t column = 0; column < row.size(); ++column) {
            const std::string& cell = row[column];
            if (column + 1 == row.size()) {
                line += cell;
                break;
            }
            const std::string padding(widths[column] - Width(cell), ' ');
            line += rightAligned[column] ? padding + cell : cell + padding;
            line += "  ";
        }
        out += line + "\n";
    }
}

std::string OrDash(const std::wstring& text)
{
    return text.empty() ? "-" : platform::WideToUtf8(text);
}

std::string AgeText(std::int64_t seconds, bool stale)
{
    return std::to_string(seconds) + " s" + (stale ? ", stale" : "");
}

// "none", or each blocked source with how long its read has run.
std::string BlockedText(const MBDataContainer::CycleSnapshot& snapshot)
{
    std::string text;
    if (snapshot.sensorsBlocked) {
        text = "sensors for " + std::to_string(snapshot.sensorBlockedSeconds) + " s";
    }
    if (snapshot.diskBlocked) {
        text += (text.empty() ? "" : ", ") + std::string("disk for ") +
                std::to_string(snapshot.diskBlockedSeconds) + " s";
    }
    return text.empty() ? "none" : text;
}

}  // namespace

std::string RenderStatusTable(const MBDataContainer::CycleSnapshot& snapshot, bool colour)
{
    std::string out;
    std::vector<Row> fields{{"field", "reading", "setpoint", "warning", "error", "rating"}};
    for (const MBDataContainer::FieldSnapshot& field : snapshot.fields) {
        fields.push_back({platform::WideToUtf8(field.name), std::to_string(field.value),
                          std::to_string(field.setpoint), OrDash(field.warningBand),
                          OrDash(field.errorBand), RatingText(field.rating, colour)});
    }
    AppendTable(out, fields, {false, true, true, false, false, false});

    out += "\n";
    std::vector<Row> groups{{"group", "digit", "rating"}};
    for (const MBDataContainer::GroupSnapshot& group : snapshot.groups) {
        groups.push_back({platform::WideToUtf8(group.name), std::to_string(group.rating),
                          RatingText(group.rating, colour)});
    }
    AppendTable(out, groups, {false, true, false});

    out += "\n";
    std::vector<Row> facts{
        {"UPS state of charge", std::to_string(snapshot.upsStateOfCharge) + " %"},
        {"UPS", snapshot.upsPresent ? "UPS service present" : "no UPS service"},
        {"sensor source", OrDash(snapshot.sensorSource)},
        {"disk source", platform::WideToUtf8(MBDataAquisition::NamesOf(snapshot.disk.source).name)},
        {"system disk",
         "drive " + std::to_string(snapshot.disk.drive) +
             (snapshot.disk.model.empty() ? std::string()
                                          : ", " + platform::WideToUtf8(snapshot.disk.model))},
        {"disk read",
         platform::WideToUtf8(MBDataContainer::DiskReadWay(snapshot.disk)) +
             (snapshot.diskLogonFailed ? " (the runtime's own: the administrator's logon failed)"
                                       : "")},
        {"disk days left", platform::WideToUtf8(MBDataContainer::DaysLeftText(snapshot.daysLeft))},
        {"disk first seen", snapshot.diskFirstSeen
                                ? MBDataContainer::DayText(*snapshot.diskFirstSeen)
                                : std::string("-")},
        {"sensor data age", AgeText(snapshot.sensorAgeSeconds, snapshot.sensorsStale)},
        {"disk data age", AgeText(snapshot.diskAgeSeconds, snapshot.diskStale) +
                              (snapshot.diskNeverRead ? ", never read" : "")},
        {"blocked sources", BlockedText(snapshot)},
        {"last cycle", platform::WideToUtf8(utils::LocalTimeText(snapshot.time))},
        {"cycle interval", std::to_string(snapshot.cycleIntervalMs) + " ms"},
        {"cycles", std::to_string(snapshot.cycles) + ", failed " +
                       std::to_string(snapshot.failedCycles) + ", failed in a row " +
                       std::to_string(snapshot.consecutiveFailures)}};
    if (!snapshot.firstFailure.empty()) {
        facts.push_back({"first failure", platform::WideToUtf8(snapshot.firstFailure)});
    }
    AppendTable(out, facts, {false, false});
    return out;
}

}  // namespace MBBroadcast
