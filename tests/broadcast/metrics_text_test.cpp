#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "broadcast/metrics_text.h"

namespace {

using MBBroadcast::RenderMetrics;
using MBDataContainer::CycleSnapshot;
using MBDataContainer::FieldSnapshot;

CycleSnapshot Sample()
{
    CycleSnapshot snapshot;
    FieldSnapshot fan;
    fan.name = L"Fan0";
    fan.kind = L"fan";
    fan.value = 2481;
    fan.setpoint = 2500;
    fan.rating = 1;
    FieldSnapshot temp;
    temp.name = L"Temp2";
    temp.kind = L"temperature";
    temp.value = -53;
    temp.setpoint = 40;
    temp.rating = 3;
    snapshot.fields = {fan, temp};
    snapshot.groups = {{L"IPC_FANS", 1},     {L"IPC_TEMP", 3},     {L"IPC_VOLTAGE", 0},
                       {L"IPC_CMOS_BAT", 0}, {L"IPC_HARDDISK", 2}, {L"UPS_WORKING", 1}};
    snapshot.upsStateOfCharge = 87;
    snapshot.disk.source = MBDataAquisition::DiskSource::Nvme;
    snapshot.disk.drive = 1;
    snapshot.disk.busType = 17;
    snapshot.disk.model = L"NVMe SSD 980";
    snapshot.disk.serial = L"S6X\"1";
    snapshot.time = 1796719505;
    snapshot.cycles = 12;
    snapshot.failedCycles = 2;
    snapshot.upsPresent = true;
    snapshot.cycleIntervalMs = 10000;
    snapshot.sensorAgeSeconds = 905;
    snapshot.diskAgeSeconds = 12;
    snapshot.sensorsStale = true;
    return snapshot;
}

struct Family {
    std::string help;
    std::string type;
    std::vector<std::string> samples;  // the lines, name included
};

// Reads the exposition text the way a scraper does: every sample must follow its family's HELP
// and TYPE lines, and a family appears once.
std::map<std::string, Family> Parse(const std::string& text)
{
    std::map<std::string, Family> families;
    std::istringstream lines(text);
    std::string line;
    std::string current;
    while (std::getline(lines, line)) {
        if (line.rfind("# HELP ", 0) == 0) {
            current = line.substr(7, line.find(' ', 7) - 7);
            EXPECT_EQ(families.count(current), 0u) << "family twice: " << current;
            families[current].help = line.substr(8 + current.size());
        } else if (line.rfind("# TYPE ", 0) == 0) {
            EXPECT_EQ(line.substr(7, current.size()), current) << line;
            families[current].type = line.substr(8 + current.size());
        } else {
            const std::string name = line.substr(0, line.find_first_of("{ "));
            EXPECT_EQ(name, current) << "sample outside its family: " << line;
            EXPECT_FALSE(families[current].type.empty()) << line;
            families[current].samples.push_back(line);
        }
    }
    EXPECT_EQ(text.back(), '\n');
    return families;
}

// A forecast gives one sample labelled with its basis, none without one; the day first seen is
// given as its midnight UTC.
TEST(MetricsText, TheDiskLifeSamples)
{
    using MBDataContainer::ForecastBasis;
    using Lines = std::vector<std::string>;
    const struct {
        ForecastBasis basis;
        std::int32_t days;
        std::optional<MBDataContainer::RecordDay> firstSeen;
        Lines daysLeft;
        Lines firstSeenSamples;
    } cases[] = {
        {ForecastBasis::None, -1, std::nullopt, {}, {}},
        {ForecastBasis::None, -1, 20513, {}, {"vexa_disk_first_seen_timestamp_seconds 1772323200"}},
        {ForecastBasis::Wear,
         80,
         20513,
         {"vexa_disk_days_left{basis=\"wear\"} 80"},
         {"vexa_disk_first_seen_timestamp_seconds 1772323200"}},
        {ForecastBasis::Hours,
         1429,
         20513,
         {"vexa_disk_days_left{basis=\"hours\"} 1429"},
         {"vexa_disk_first_seen_timestamp_seconds 1772323200"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.days);
        MBDataContainer::CycleSnapshot snapshot = Sample();
        snapshot.daysLeft.basis = c.basis;
        snapshot.daysLeft.days = c.days;
        snapshot.diskFirstSeen = c.firstSeen;
        const std::map<std::string, Family> families = Parse(RenderMetrics(snapshot, L"4.0.11.0"));
        EXPECT_EQ(families.at("vexa_disk_days_left").samples, c.daysLeft);
        EXPECT_EQ(families.at("vexa_disk_first_seen_timestamp_seconds").samples,
                  c.firstSeenSamples);
    }
}

TEST(MetricsText, EveryMetricIsPresentWithHelpAndType)
{
    const std::map<std::string, Family> families = Parse(RenderMetrics(Sample(), L"4.0.11.0"));
    const std::map<std::string, std::string> expected = {
        {"vexa_field_value", "gauge"},
        {"vexa_field_setpoint", "gauge"},
        {"vexa_field_rating", "gauge"},
        {"vexa_group_rating", "gauge"},
        {"vexa_ups_state_of_charge", "gauge"},
        {"vexa_ups_present", "gauge"},
        {"vexa_cycle_interval_seconds", "gauge"},
        {"vexa_sensor_data_age_seconds", "gauge"},
        {"vexa_disk_data_age_seconds", "gauge"},
        {"vexa_source_stale", "gauge"},
        {"vexa_source_blocked", "gauge"},
        {"vexa_source_blocked_seconds", "gauge"},
        {"vexa_disk_source", "gauge"},
        {"vexa_disk_info", "gauge"},
        {"vexa_disk_days_left", "gauge"},
        {"vexa_disk_first_seen_timestamp_seconds", "gauge"},
        {"vexa_last_cycle_timestamp_seconds", "gauge"},
        {"vexa_cycles_total", "counter"},
        {"vexa_cycle_failures_total", "counter"},
        {"vexa_build_info", "gauge"},
    };
    ASSERT_EQ(families.size(), expected.size());
    for (const auto& [name, type] : expected) {
        ASSERT_EQ(families.count(name), 1u) << name;
        EXPECT_EQ(families.at(name).type, type) << name;
        EXPECT_FALSE(families.at(name).help.empty()) << name;
    }
    using Lines = std::vector<std::string>;
    EXPECT_EQ(families.at("vexa_field_value").samples,
              (Lines{"vexa_field_value{field=\"Fan0\",kind=\"fan\"} 2481",
                     "vexa_field_value{field=\"Temp2\",kind=\"temperature\"} -53"}));
    EXPECT_EQ(families.at("vexa_field_setpoint").samples[1],
              "vexa_field_setpoint{field=\"Temp2\",kind=\"temperature\"} 40");
    EXPECT_EQ(families.at("vexa_field_rating").samples[1],
              "vexa_field_rating{field=\"Temp2\",kind=\"temperature\"} 3");
    EXPECT_EQ(families.at("vexa_group_rating").samples.size(), 6u);
    EXPECT_EQ(families.at("vexa_group_rating").samples[4],
              "vexa_group_rating{group=\"IPC_HARDDISK\"} 2");
    EXPECT_EQ(families.at("vexa_ups_state_of_charge").samples,
              Lines{"vexa_ups_state_of_charge 87"});
    EXPECT_EQ(families.at("vexa_disk_source").samples,
              Lines{"vexa_disk_source{source=\"nvme\"} 1"});
    EXPECT_EQ(
        families.at("vexa_disk_info").samples,
        Lines{"vexa_disk_info{bus=\"nvme\",drive=\"1\",model=\"NVMe SSD 980\",serial=\"S6X\\\"1\"} "
              "1"});
    EXPECT_EQ(families.at("vexa_last_cycle_timestamp_seconds").samples,
              Lines{"vexa_last_cycle_timestamp_seconds 1796719505"});
    EXPECT_EQ(families.at("vexa_cycles_total").samples, Lines{"vexa_cycles_total 12"});
    EXPECT_EQ(families.at("vexa_cycle_failures_total").samples,
              Lines{"vexa_cycle_failures_total 2"});
    EXPECT_EQ(families.at("vexa_build_info").samples,
              Lines{"vexa_build_info{version=\"4.0.11.0\"} 1"});
    EXPECT_EQ(families.at("vexa_ups_present").samples, Lines{"vexa_ups_present 1"});
    EXPECT_EQ(families.at("vexa_sensor_data_age_seconds").samples,
              Lines{"vexa_sensor_data_age_seconds 905"});
    EXPECT_EQ(families.at("vexa_disk_data_age_seconds").samples,
              Lines{"vexa_disk_data_age_seconds 12"});
    EXPECT_EQ(
        families.at("vexa_source_stale").samples,
        (Lines{"vexa_source_stale{source=\"sensors\"} 1", "vexa_source_stale{source=\"disk\"} 0"}));
}

// The alert on a stalled monitor compares against the interval: a pause below a second must
// not read as 0 s.
TEST(MetricsText, CycleIntervalInSeconds)
{
    CycleSnapshot snapshot = Sample();
    const std::pair<std::int64_t, std::string> cases[] = {
        {10000, "10"}, {100, "0.1"}, {1250, "1.25"}, {3600000, "3600"}, {1001, "1.001"}};
    for (const auto& [milliseconds, text] : cases) {
        SCOPED_TRACE(milliseconds);
        snapshot.cycleIntervalMs = milliseconds;
        EXPECT_EQ(Parse(RenderMetrics(snapshot, L"1")).at("vexa_cycle_interval_seconds").samples,
                  std::vector<std::string>{"vexa_cycle_interval_seconds " + text});
    }
}

TEST(MetricsText, DiskSourceLabels)
{
    CycleSnapshot snapshot = Sample();
    const std::pair<MBDataAquisition::DiskSource, std::string> cases[] = {
        {MBDataAquisition::DiskSource::Ata, "ata"},
        {MBDataAquisition::DiskSource::Nvme, "nvme"},
        {MBDataAquisition::DiskSource::None, "none"},
    };
    for (const auto& [source, label] : cases) {
        snapshot.disk.source = source;
        EXPECT_EQ(Parse(RenderMetrics(snapshot, L"1")).at("vexa_disk_source").samples,
                  std::vector<std::string>{"vexa_disk_source{source=\"" + label + "\"} 1"});
    }
}

// Sensor names come from outside tools and settings: quotes, backslashes and line feeds must not
// break the line, and text beyond ASCII must reach the file as UTF-8.
TEST(MetricsText, LabelValuesAreEscaped)
{
    EXPECT_EQ(MBBroadcast::EscapeLabelValue(L"C:\\temp"), "C:\\\\temp");
    EXPECT_EQ(MBBroadcast::EscapeLabelValue(L"CPU \"core\""), "CPU \\\"core\\\"");
    EXPECT_EQ(MBBroadcast::EscapeLabelValue(L"line\nbreak"), "line\\nbreak");
    EXPECT_EQ(MBBroadcast::EscapeLabelValue(L"L\u00fcfter \u20ac"),
              "L\xc3\xbc"
              "fter \xe2\x82\xac");
    EXPECT_EQ(MBBroadcast::EscapeLabelValue(L"\U0001F600"), "\xf0\x9f\x98\x80");

    CycleSnapshot snapshot = Sample();
    snapshot.fields[0].name = L"Fan \"A\\B\"\n";
    const std::string text = RenderMetrics(snapshot, L"4.0\"x");
    EXPECT_NE(text.find("vexa_field_value{field=\"Fan \\\"A\\\\B\\\"\\n\",kind=\"fan\"} 2481\n"),
              std::string::npos);
    EXPECT_NE(text.find("vexa_build_info{version=\"4.0\\\"x\"} 1\n"), std::string::npos);
}

// The values file holds one key per name, the last field of that name winning; a second series
// of the same labels would make the whole scrape fail.
TEST(MetricsText, ARepeatedFieldNameGivesOneSeriesWithTheLastReading)
{
    CycleSnapshot snapshot = Sample();
    FieldSnapshot again = snapshot.fields[0];
    again.value = 1999;
    snapshot.fields.push_back(again);
    const std::map<std::string, Family> families = Parse(RenderMetrics(snapshot, L"1"));
    EXPECT_EQ(
        families.at("vexa_field_value").samples,
        (std::vector<std::string>{"vexa_field_value{field=\"Fan0\",kind=\"fan\"} 1999",
                                  "vexa_field_value{field=\"Temp2\",kind=\"temperature\"} -53"}));
}

TEST(MetricsText, BeforeAnyRatingTheFieldFamiliesAreEmpty)
{
    CycleSnapshot snapshot;
    snapshot.cycles = 1;
    snapshot.failedCycles = 1;
    const std::map<std::string, Family> families = Parse(RenderMetrics(snapshot, L"1"));
    EXPECT_TRUE(families.at("vexa_field_value").samples.empty());
    EXPECT_EQ(families.at("vexa_cycle_failures_total").samples,
              std::vector<std::string>{"vexa_cycle_failures_total 1"});
}

}  // namespace
