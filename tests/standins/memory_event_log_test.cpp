#include "standins/memory_event_log.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "platform/event_log_record.h"
#include "platform/last_error.h"

namespace {

using platform::MemoryEventLog;

constexpr std::uint32_t kSequential =
    platform::kEventLogSequentialRead | platform::kEventLogForwardsRead;
constexpr std::uint32_t kSeek = platform::kEventLogSeekRead | platform::kEventLogForwardsRead;

// Record numbers of one read, or an empty list with the error code in `error`.
std::vector<std::uint32_t> ReadOnce(MemoryEventLog& log, platform::EventLogHandle handle,
                                    std::uint32_t flags, std::uint32_t offset,
                                    std::uint32_t bufferBytes, unsigned long& error,
                                    std::uint32_t& needed)
{
    std::vector<std::uint8_t> buffer(bufferBytes);
    std::uint32_t read = 0;
    std::vector<std::uint32_t> numbers;
    error = 0;
    if (!log.Read(handle, flags, offset, buffer.data(), bufferBytes, read, needed)) {
        error = platform::GetLastErrorCode();
        return numbers;
    }
    EXPECT_TRUE(platform::WalkEventLogRecords(buffer.data(), read,
                                              [&](const platform::EventLogRecordView& record) {
                                                  numbers.push_back(record.recordNumber);
                                              }));
    return numbers;
}

TEST(MemoryEventLogTest, ReadsWholeRecordsSequentiallyAndBySeek)
{
    MemoryEventLog log;
    for (int i = 0; i < 5; ++i) {
        log.Append(platform::kEventTypeInformation, 69, L"TwinCAT");
    }
    const auto handle = log.Open(L"Application");
    ASSERT_NE(0u, handle);
    std::uint32_t oldest = 0;
    ASSERT_TRUE(log.GetOldestRecord(handle, oldest));
    EXPECT_EQ(1u, oldest);

    const std::uint32_t recordSize = static_cast<std::uint32_t>(
        platform::BuildEventLogRecord({1, 0, 0, 69, 4, L"TwinCAT", L"VEXA-IPC"}).size());
    unsigned long error = 0;
    std::uint32_t needed = 0;
    EXPECT_EQ((std::vector<std::uint32_t>{1, 2}),
              ReadOnce(log, handle, kSequential, 0, 2 * recordSize + 3, error, needed));
    EXPECT_EQ((std::vector<std::uint32_t>{3, 4, 5}),
              ReadOnce(log, handle, kSequential, 0, 65535, error, needed));
    EXPECT_TRUE(ReadOnce(log, handle, kSequential, 0, 65535, error, needed).empty());
    EXPECT_EQ(38ul, error);

    EXPECT_EQ((std::vector<std::uint32_t>{4, 5}),
              ReadOnce(log, handle, kSeek, 4, 65535, error, needed));
    EXPECT_TRUE(ReadOnce(log, handle, kSeek, 6, 65535, error, needed).empty());
    EXPECT_EQ(87ul, error);
    EXPECT_TRUE(ReadOnce(log, handle, kSeek, 1, recordSize - 1, error, needed).empty());
    EXPECT_EQ(122ul, error);
    EXPECT_EQ(recordSize, needed);
    EXPECT_TRUE(log.Close(handle));
}

TEST(MemoryEventLogTest, WrapsAtItsCapacityAndRestartsNumbersWhenCleared)
{
    MemoryEventLog log;
    log.SetCapacity(3);
    for (int i = 0; i < 5; ++i) {
        log.Append(platform::kEventTypeWarning, 67, L"EventLog");
    }
    auto handle = log.Open(L"Application");
    std::uint32_t oldest = 0;
    std::uint32_t count = 0;
    ASSERT_TRUE(log.GetOldestRecord(handle, oldest));
    ASSERT_TRUE(log.GetNumberOfRecords(handle, count));
    EXPECT_EQ(3u, oldest);
    EXPECT_EQ(3u, count);
    unsigned long error = 0;
    std::uint32_t needed = 0;
    EXPECT_EQ((std::vector<std::uint32_t>{3, 4, 5}),
              ReadOnce(log, handle, kSequential, 0, 65535, error, needed));
    log.Close(handle);

    log.Clear();
    log.Append(platform::kEventTypeWarning, 67, L"EventLog");
    handle = log.Open(L"Application");
    ASSERT_TRUE(log.GetOldestRecord(handle, oldest));
    EXPECT_EQ(1u, oldest);
    log.Close(handle);
}

TEST(MemoryEventLogTest, AnUnopenableLogFailsToOpen)
{
    MemoryEventLog log;
    log.SetOpenable(false);
    EXPECT_EQ(0u, log.Open(L"Application"));
    EXPECT_EQ(2ul, platform::GetLastErrorCode());
    EXPECT_FALSE(log.Close(0x100));
}

TEST(MemoryEventLogTest, LoadsRecordsFromAText)
{
    const std::string path = testing::TempDir() + "vexa_event_log.txt";
    {
        std::ofstream file(path, std::ios::binary);
        file << "information 69 TwinCAT System Service\r\n"
                "\r\n"
                "2 67 EventLog\n"
                "error 0x40000045 Other\n"
                "loud 69 TwinCAT\n"
                "4 sixty-nine TwinCAT\n";
    }
    MemoryEventLog log;
    EXPECT_FALSE(platform::LoadEventLogFile(log, path));  // two bad lines, skipped
    EXPECT_EQ(3u, log.RecordCount());
    const auto handle = log.Open(L"Application");
    std::vector<std::uint8_t> buffer(65535);
    std::uint32_t read = 0;
    std::uint32_t needed = 0;
    ASSERT_TRUE(log.Read(handle, kSequential, 0, buffer.data(), 65535, read, needed));
    std::vector<platform::EventLogRecordView> records;
    platform::WalkEventLogRecords(
        buffer.data(), read, [&](const platform::EventLogRecordView& r) { records.push_back(r); });
    ASSERT_EQ(3u, records.size());
    EXPECT_EQ(L"TwinCAT System Service", records[0].sourceName);
    EXPECT_EQ(4, records[0].eventType);
    EXPECT_EQ(2, records[1].eventType);
    EXPECT_EQ(67u, records[1].eventId);
    EXPECT_EQ(0x40000045u, records[2].eventId);
    EXPECT_EQ(1, records[2].eventType);
    log.Close(handle);
    std::remove(path.c_str());

    MemoryEventLog missing;
    EXPECT_FALSE(platform::LoadEventLogFile(missing, path));
    EXPECT_EQ(0u, missing.Open(L"Application"));
}

}  // namespace
