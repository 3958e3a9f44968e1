#include "platform/event_log_record.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put32(Bytes& bytes, std::size_t offset, std::uint32_t value)
{
    bytes[offset] = static_cast<std::uint8_t>(value);
    bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
    bytes[offset + 2] = static_cast<std::uint8_t>(value >> 16);
    bytes[offset + 3] = static_cast<std::uint8_t>(value >> 24);
}

void PutText(Bytes& bytes, const char* text)
{
    for (const char* c = text; *c != '\0'; ++c) {
        bytes.push_back(static_cast<std::uint8_t>(*c));
        bytes.push_back(0);
    }
    bytes.push_back(0);
    bytes.push_back(0);
}

// An EVENTLOGRECORD written field by field at the offsets of the Windows SDK.
Bytes Record(std::uint32_t number, std::uint32_t eventId, std::uint16_t type, const char* source)
{
    Bytes bytes(56, 0);
    Put32(bytes, 4, 0x654c664c);  // "LfLe"
    Put32(bytes, 8, number);
    Put32(bytes, 12, 1700000000u + number);  // TimeGenerated
    Put32(bytes, 16, 1700000000u + number);  // TimeWritten
    Put32(bytes, 20, eventId);
    bytes[24] = static_cast<std::uint8_t>(type);
    bytes[25] = static_cast<std::uint8_t>(type >> 8);
    PutText(bytes, source);
    PutText(bytes, "VEXA-IPC");
    while (bytes.size() % 4 != 0) {
        bytes.push_back(0);
    }
    const auto variable = static_cast<std::uint32_t>(bytes.size());
    Put32(bytes, 36, variable);  // StringOffset
    Put32(bytes, 44, variable);  // UserSidOffset
    Put32(bytes, 52, variable);  // DataOffset
    bytes.resize(bytes.size() + 4);
    Put32(bytes, 0, static_cast<std::uint32_t>(bytes.size()));
    Put32(bytes, bytes.size() - 4, static_cast<std::uint32_t>(bytes.size()));
    return bytes;
}

Bytes Join(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

struct Walk {
    bool complete = false;
    std::vector<platform::EventLogRecordView> records;
};

Walk WalkAll(const Bytes& buffer)
{
    Walk walk;
    walk.complete = platform::WalkEventLogRecords(
        buffer.data(), buffer.size(),
        [&](const platform::EventLogRecordView& record) { walk.records.push_back(record); });
    return walk;
}

TEST(EventLogRecordTest, WalksWellFormedRecordsInOrder)
{
    const Walk walk = WalkAll(Join({Record(7, 69, 4, "TwinCAT System"), Record(8, 67, 2, "")}));
    EXPECT_TRUE(walk.complete);
    ASSERT_EQ(2u, walk.records.size());
    EXPECT_EQ(7u, walk.records[0].recordNumber);
    EXPECT_EQ(69u, walk.records[0].eventId);
    EXPECT_EQ(4, walk.records[0].eventType);
    EXPECT_EQ(L"TwinCAT System", walk.records[0].sourceName);
    EXPECT_EQ(1700000007u, walk.records[0].timeWritten);
    EXPECT_EQ(8u, walk.records[1].recordNumber);
    EXPECT_EQ(L"", walk.records[1].sourceName);
    EXPECT_TRUE(WalkAll(Bytes()).complete);
}

TEST(EventLogRecordTest, BuiltRecordsHaveTheWindowsLayout)
{
    platform::EventLogRecordData data;
    data.recordNumber = 7;
    data.timeGenerated = 1700000007u;
    data.timeWritten = 1700000007u;
    data.eventId = 0x40000045;
    data.eventType = 4;
    data.sourceName = L"EventLog";
    data.computerName = L"VEXA-IPC";
    EXPECT_EQ(Record(7, 0x40000045, 4, "EventLog"), platform::BuildEventLogRecord(data));
}

TEST(EventLogRecordTest, MalformedLengthsEndTheWalk)
{
    const Bytes good = Record(1, 69, 4, "TwinCAT");
    auto withLength = [&](std::uint32_t length) {
        Bytes bad = Record(2, 69, 4, "TwinCAT");
        Put32(bad, 0, length);
        return Join({good, bad});
    };
    for (std::uint32_t length :
         {0u, 4u, 56u, 57u, 58u, 0xFFFFFFFCu, static_cast<std::uint32_t>(good.size()) + 2,
          static_cast<std::uint32_t>(good.size()) + 4}) {
        const Walk walk = WalkAll(withLength(length));
        EXPECT_FALSE(walk.complete) << length;
        EXPECT_EQ(1u, walk.records.size()) << length;
    }
}

TEST(EventLogRecordTest, TruncatedAndForeignBytesEndTheWalk)
{
    const Bytes good = Record(1, 69, 4, "TwinCAT");
    Bytes truncated = Join({good, good});
    truncated.resize(good.size() + 40);
    EXPECT_EQ(1u, WalkAll(truncated).records.size());
    EXPECT_FALSE(WalkAll(truncated).complete);

    Bytes foreign = good;
    Put32(foreign, 4, 0);
    EXPECT_FALSE(WalkAll(foreign).complete);
    EXPECT_TRUE(WalkAll(foreign).records.empty());

    // A source name that runs into the closing length field.
    Bytes unterminated(56, 0);
    Put32(unterminated, 4, 0x654c664c);
    for (int i = 0; i < 8; ++i) {
        unterminated.push_back('A');
        unterminated.push_back(0);
    }
    unterminated.resize(unterminated.size() + 4);
    Put32(unterminated, 0, static_cast<std::uint32_t>(unterminated.size()));
    Put32(unterminated, unterminated.size() - 4, static_cast<std::uint32_t>(unterminated.size()));
    EXPECT_FALSE(WalkAll(unterminated).complete);
}

// Random damage to a valid buffer: the walk must end, and everything it reports must lie inside
// the buffer (the address sanitizer build checks the reads themselves).
TEST(EventLogRecordTest, SurvivesRandomDamage)
{
    std::mt19937 random(4711);
    const Bytes valid = Join({Record(1, 69, 4, "TwinCAT"), Record(2, 67, 4, "EventLog"),
                              Record(3, 69, 1, "Other source name")});
    for (int round = 0; round < 5000; ++round) {
        Bytes damaged = valid;
        const int hits = 1 + static_cast<int>(random() % 6);
        for (int hit = 0; hit < hits; ++hit) {
            damaged[random() % damaged.size()] = static_cast<std::uint8_t>(random());
        }
        damaged.resize(random() % (damaged.size() + 1));
        std::size_t covered = 0;
        platform::WalkEventLogRecords(damaged.data(), damaged.size(),
                                      [&](const platform::EventLogRecordView& record) {
                                          covered += record.length;
                                          EXPECT_LE(covered, damaged.size());
                                          EXPECT_EQ(0u, record.length % 4);
                                      });
    }
}

}  // namespace
