#include "broadcast/metrics_text.h"

#include <cstdint>
#include <map>
#include <vector>

#include "platform/disk_device.h"
#include "platform/text.h"

namespace MBBroadcast {
namespace {

// One metric family: HELP, TYPE, then its samples.
class Family {
public:
    Family(std::string& out, const char* name, const char* type, const char* help)
        : m_out(out), m_name(name)
    {
        m_out += "# HELP ";
        m_out += name;
        m_out += ' ';
        m_out += help;
        m_out += "\n# TYPE ";
        m_out += name;
        m_out += ' ';
        m_out += type;
        m_out += '\n';
    }

    // A sample; `labels` is the text between the braces, empty for none.
    void Sample(const std::string& labels, std::int64_t value)
    {
        Sample(labels, std::to_string(value));
    }
    void Sample(const std::string& labels, const std::string& value)
    {
        m_out += m_name;
        if (!labels.empty()) {
            m_out += '{';
            m_out += labels;
            m_out += '}';
        }
        m_out += ' ';
        m_out += value;
        m_out += '\n';
    }

private:
    std::string& m_out;
    const char* m_name;
};

std::string Label(const char* name, const std::wstring& value)
{
    return std::string(name) + "=\"" + EscapeLabelValue(value) + "\"";
}

// The values file holds one key per name, the last field of a name winning; the metrics follow
// it, and a repeated name would make the scrape fail as a duplicate series.
std::vector<const MBDataContainer::FieldSnapshot*> PublishedFields(
    const MBDataContainer::CycleSnapshot& snapshot)
{
    std::vector<const MBDataContainer::FieldSnapshot*> fields;
    std::map<std::wstring, std::size_t> positions;
    for (const MBDataContainer::FieldSnapshot& field : snapshot.fields) {
        const auto found = positions.find(field.name);
        if (found == positions.end()) {
            positions.emplace(field.name, fields.size());
            fields.push_back(&field);
        } else {
            fields[found->second] = &field;
        }
    }
    return fields;
}

// Milliseconds as seconds in decimal notation without trailing zeros: 200 is "0.2".
std::string Seconds(std::int64_t milliseconds)
{
    std::string text = std::to_string(milliseconds / 1000);
    const std::int64_t fraction = milliseconds % 1000;
    if (fraction != 0) {
        std::string digits = std::to_string(1000 + fraction).substr(1);
        digits.erase(digits.find_last_not_of('0') + 1);
        text += "." + digits;
    }
    return text;
}

}  // namespace

std::string EscapeLabelValue(const std::wstring& value)
{
    std::string escaped;
    for (const char c : platform::WideToUtf8(value)) {
        switch (c) {
        case '\\':
            escaped += "\\\\";
            break;
        case '"':
            escaped += "\\\"";
            break;
        case '\n':
            escaped += "\\n";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

std::string RenderMetrics(const MBDataContainer::CycleSnapshot& snapshot,
                          const std::wstring& version)
{
    std::string out;
    const std::vector<const MBDataContainer::FieldSnapshot*> fields = PublishedFields(snapshot);
    const auto fieldLabels = [](const MBDataContainer::FieldSnapshot& field) {
        return Label("field", field.name) + "," + Label("kind", field.kind);
    };

    Family value(out, "vexa_field_value", "gauge",
                 "Latest reading of a monitored field, as published in the values file.");
    for (const MBDataContainer::FieldSnapshot* field : fields) {
        value.Sample(fieldLabels(*field), field->value);
    }
    Family setpoint(out, "vexa_field_setpoint", "gauge", "Setpoint of a monitored field.");
    for (const MBDataContainer::FieldSnapshot* field : fields) {
        setpoint.Sample(fieldLabels(*field), field->setpoint);
    }
    Family rating(out, "vexa_field_rating", "gauge",
                  "Rating of a monitored field: 0 none, 1 ok, 2 warning, 3 error.");
    for (const MBDataContainer::FieldSnapshot* field : fields) {
        rating.Sample(fieldLabels(*field), field->rating);
    }
    Family group(out, "vexa_group_rating", "gauge",
                 "Worst rating of a group of fields, as the values file's group digit: 0 no "
                 "field, 1 ok, 2 warning, 3 error.");
    for (const MBDataContainer::GroupSnapshot& entry : snapshot.groups) {
        group.Sample(Label("group", entry.name), entry.rating);
    }
    Family charge(out, "vexa_ups_state_of_charge", "gauge",
                  "State of charge of the UPS battery in percent.");
    charge.Sample("", snapshot.upsStateOfCharge);
    Family ups(
        out, "vexa_ups_present", "gauge",
        "1 when the UPS service's status key exists, 0 without a UPS service (whose UPS group "
        "then rates error, as HMI projects expect).");
    ups.Sample("", snapshot.upsPresent ? 1 : 0);
    Family disk(out, "vexa_disk_source", "gauge",
                "Interface that answered the last read of the system disk (the one sample).");
    disk.Sample(Label("source", MBDataAquisition::NamesOf(snapshot.disk.source).label), 1);
    Family diskInfo(out, "vexa_disk_info", "gauge",
                    "The system disk: drive number, bus, model and serial number from its "
                    "device descriptor (the one sample).");
    // Labels in the order an exporter sorts them into, so a scrape reads the series as written.
    diskInfo.Sample(Label("bus", platform::bus::NameOf(snapshot.disk.busType)) + "," +
                        Label("drive", std::to_wstring(snapshot.disk.drive)) + "," +
                        Label("model", snapshot.disk.model) + "," +
                        Label("serial", snapshot.disk.serial),
                    1);
    Family daysLeft(out, "vexa_disk_days_left", "gauge",
                    "Days until the system disk reaches the end of its life, forecast from the "
                    "drive record on its wear or on its power-on hours; no sample before 14 days "
                    "of record.");
    if (snapshot.daysLeft.basis != MBDataContainer::ForecastBasis::None) {
        daysLeft.Sample(Label("basis", MBDataContainer::NameOf(snapshot.daysLeft.basis)),
                        snapshot.daysLeft.days);
    }
    Family firstSeen(out, "vexa_disk_first_seen_timestamp_seconds", "gauge",
                     "Unix time of the day (00:00 UTC) on which the system disk was first seen; "
                     "a later value than before means the disk was replaced.");
    if (snapshot.diskFirstSeen) {
        firstSeen.Sample("", *snapshot.diskFirstSeen * 86400);
    }
    Family sensorAge(out, "vexa_sensor_data_age_seconds", "gauge",
                     "Seconds for which the sensor source's data have not changed.");
    sensorAge.Sample("", snapshot.sensorAgeSeconds);
    Family diskAge(out, "vexa_disk_data_age_seconds", "gauge",
                   "Seconds since the last refresh that read the system disk.");
    diskAge.Sample("", snapshot.diskAgeSeconds);
    Family stale(out, "vexa_source_stale", "gauge",
                 "1 while a source's data are older than their limit (section Freshness); its "
                 "groups then show at least a warning.");
    stale.Sample(Label("source", L"sensors"), snapshot.sensorsStale ? 1 : 0);
    stale.Sample(Label("source", L"disk"), snapshot.diskStale ? 1 : 0);
    Family blocked(out, "vexa_source_blocked", "gauge",
                   "1 while a source's read has not ended by the cycle's deadline (ReadTimeout); "
                   "its groups then show at least a warning.");
    blocked.Sample(Label("source", L"sensors"), snapshot.sensorsBlocked ? 1 : 0);
    blocked.Sample(Label("source", L"disk"), snapshot.diskBlocked ? 1 : 0);
    Family blockedSeconds(out, "vexa_source_blocked_seconds", "gauge",
                          "Seconds for which a blocked source's read has run; 0 when it is not "
                          "blocked.");
    blockedSeconds.Sample(Label("source", L"sensors"), snapshot.sensorBlockedSeconds);
    blockedSeconds.Sample(Label("source", L"disk"), snapshot.diskBlockedSeconds);
    Family time(out, "vexa_last_cycle_timestamp_seconds", "gauge",
                "Unix time at which the monitor's last cycle ended, failed or not.");
    time.Sample("", snapshot.time);
    Family interval(out, "vexa_cycle_interval_seconds", "gauge",
                    "Pause between two cycles of the monitor (CycleTime after clamping).");
    interval.Sample("", Seconds(snapshot.cycleIntervalMs));
    Family cycles(out, "vexa_cycles_total", "counter", "Cycles of the monitor since it started.");
    cycles.Sample("", static_cast<std::int64_t>(snapshot.cycles));
    Family failures(out, "vexa_cycle_failures_total", "counter",
                    "Cycles of the monitor that failed since it started.");
    failures.Sample("", static_cast<std::int64_t>(snapshot.failedCycles));
    Family build(out, "vexa_build_info", "gauge", "Version of the monitor.");
    build.Sample(Label("version", version), 1);
    return out;
}

}  // namespace MBBroadcast
