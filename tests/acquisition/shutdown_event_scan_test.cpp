#include "acquisition/shutdown_event_scan.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "fakes/faulty_event_log.h"
#include "standins/memory_event_log.h"

namespace {

using MBDataAquisition::ShutdownEventScan;
using platform::MemoryEventLog;

// The reading the scan must always agree with: the whole log from its oldest record,
// sequentially through one 65535-byte buffer, until a read fails.
std::int32_t FullScan(platform::EventLog& log)
{
    const auto handle = log.Open(L"Application");
    std::uint32_t oldest = 0;
    EXPECT_TRUE(log.GetOldestRecord(handle, oldest));
    std::vector<std::uint8_t> buffer(0xFFFF);
    std::int32_t counter = 0;
    std::uint32_t read = 0;
    std::uint32_t needed = 0;
    while (log.Read(handle, platform::kEventLogSequentialRead | platform::kEventLogForwardsRead, 0,
                    buffer.data(), 0xFFFF, read, needed)) {
        platform::WalkEventLogRecords(buffer.data(), read,
                                      [&](const platform::EventLogRecordView& record) {
                                          if (ShutdownEventScan::IsShutdownEvent(record)) {
                                              counter = record.eventId == 67 ? 0 : counter + 1;
                                          }
                                      });
    }
    log.Close(handle);
    return counter;
}

struct Event {
    std::uint16_t type;
    std::uint32_t id;
    const wchar_t* source;
};

const Event kEvents[] = {
    {4, 69, L"TwinCAT System"},
    {4, 69, L"EventLog"},
    {4, 67, L"TcEventLogger"},
    {4, 67, L"TwinCAT"},
    {4, 69, L"MyTwinCATx"},
    {2, 69, L"TwinCAT"},
    {1, 67, L"TwinCAT"},
    {4, 69, L"twincat"},
    {4, 0x40000045, L"TwinCAT"},
    {4, 70, L"EventLog"},
    {4, 69, L"Service Control Manager"},
};

TEST(ShutdownEventScanTest, AgreesWithAFullScanThroughAppendsClearsAndWraps)
{
    for (unsigned seed = 1; seed <= 12; ++seed) {
        std::mt19937 random(seed);
        MemoryEventLog log;
        const std::size_t capacities[] = {0, 5, 40, 300};
        log.SetCapacity(capacities[seed % 4]);
        ShutdownEventScan scan;
        for (int step = 0; step < 700; ++step) {
            const unsigned action = random() % 100;
            if (action < 2) {
                log.Clear();
            } else if (action < 3) {
                // A record too large for the buffer: reading stops before it.
                log.Append(4, 69, std::wstring(33000, L'T'));
            } else if (action < 4) {
                log.SetCapacity(1 + random() % 60);
            } else {
                // Mostly counting events, in bursts of up to a few hundred records.
                const unsigned burst = random() % 7 == 0 ? random() % 400 : random() % 4;
                for (unsigned i = 0; i < burst; ++i) {
                    const Event& event =
                        kEvents[random() % 3 != 0 ? random() % 2 : random() % std::size(kEvents)];
                    log.Append(event.type, event.id, event.source);
                }
            }
            if (random() % 3 != 0) {
                ASSERT_EQ(ShutdownEventScan::Result::Done, scan.Scan(log));
                ASSERT_EQ(FullScan(log), scan.Counter()) << "seed " << seed << " step " << step;
            }
        }
    }
}

TEST(ShutdownEventScanTest, CountsOnlyInformationEventsOfTheTwoSources)
{
    MemoryEventLog log;
    ShutdownEventScan scan;
    for (const Event& event : kEvents) {
        log.Append(event.type, event.id, event.source);
    }
    ASSERT_EQ(ShutdownEventScan::Result::Done, scan.Scan(log));
    EXPECT_EQ(1, scan.Counter());  // the 69 of "MyTwinCATx" after the 67 of "TwinCAT"
}

TEST(ShutdownEventScanTest, OverwrittenRecordsLeaveTheCountAsAFullScanDoes)
{
    MemoryEventLog log;
    log.SetCapacity(4);
    ShutdownEventScan scan;
    log.Append(4, 67, L"TwinCAT");
    log.Append(4, 69, L"TwinCAT");
    log.Append(4, 69, L"TwinCAT");
    log.Append(4, 69, L"TwinCAT");
    scan.Scan(log);
    EXPECT_EQ(3, scan.Counter());
    log.Append(4, 70, L"TwinCAT");  // drops the 67
    log.Append(4, 70, L"TwinCAT");  // drops the first 69
    scan.Scan(log);
    EXPECT_EQ(2, scan.Counter());
    EXPECT_EQ(FullScan(log), scan.Counter());
}

// Seek reads of the Application log fail on some systems: the count must stay that of a full
// reading on every cycle, while records keep arriving.
TEST(ShutdownEventScanTest, ALogWhoseSeekReadsFailGivesTheFullScansCountEveryCycle)
{
    MemoryEventLog memory;
    fakes::FaultyEventLog log(memory);
    log.m_bFailSeeks = true;
    ShutdownEventScan scan;
    for (std::uint32_t id : {67u, 69u, 69u, 69u}) {
        memory.Append(4, id, L"TwinCAT System");
    }
    for (int cycle = 0; cycle < 20; ++cycle) {
        if (cycle % 5 == 4) {
            memory.Append(4, 69, L"TwinCAT System");
        }
        memory.Append(4, 7036, L"Service Control Manager");
        ASSERT_EQ(ShutdownEventScan::Result::Done, scan.Scan(log));
        EXPECT_EQ(FullScan(memory), scan.Counter()) << "cycle " << cycle;
        EXPECT_EQ(3 + (cycle + 1) / 5, scan.Counter()) << "cycle " << cycle;
    }
}

// A log cleared and filled again past the record the scan had reached between two scans: the
// scan's open handle must not read on into the new log as if nothing had happened.
TEST(ShutdownEventScanTest, ALogClearedAndRefilledBetweenScansIsReadAnew)
{
    MemoryEventLog log;
    ShutdownEventScan scan;
    for (int i = 0; i < 3; ++i) {
        log.Append(4, 69, L"TwinCAT");
    }
    ASSERT_EQ(ShutdownEventScan::Result::Done, scan.Scan(log));
    EXPECT_EQ(3, scan.Counter());
    log.Clear();
    for (std::uint32_t id : {69u, 67u, 7036u, 7036u, 69u}) {
        log.Append(4, id, L"TwinCAT");
    }
    ASSERT_EQ(ShutdownEventScan::Result::Done, scan.Scan(log));
    EXPECT_EQ(1, scan.Counter());
    EXPECT_EQ(FullScan(log), scan.Counter());
}

// A log that went away keeps the last count; once it answers again the count is right again.
TEST(ShutdownEventScanTest, ALostLogKeepsTheLastCountUntilItAnswersAgain)
{
    MemoryEventLog memory;
    fakes::FaultyEventLog log(memory);
    ShutdownEventScan scan;
    memory.Append(4, 69, L"TwinCAT");
    memory.Append(4, 69, L"TwinCAT");
    ASSERT_EQ(ShutdownEventScan::Result::Done, scan.Scan(log));
    log.m_bGone = true;
    EXPECT_EQ(ShutdownEventScan::Result::OpenFailed, scan.Scan(log));
    EXPECT_EQ(2u, scan.LastError());
    EXPECT_EQ(2, scan.Counter());
    memory.Append(4, 69, L"TwinCAT");
    log.m_bGone = false;
    ASSERT_EQ(ShutdownEventScan::Result::Done, scan.Scan(log));
    EXPECT_EQ(3, scan.Counter());
}

TEST(ShutdownEventScanTest, ReportsALogThatCannotBeOpened)
{
    MemoryEventLog log;
    log.SetOpenable(false);
    ShutdownEventScan scan;
    EXPECT_EQ(ShutdownEventScan::Result::OpenFailed, scan.Scan(log));
}

}  // namespace

namespace {

// The build's own Application log: Wine's answers as an empty log, the posix substitute starts
// empty; on Windows the log holds whatever the machine has logged.
TEST(ShutdownEventScanTest, ScansTheSystemApplicationLog)
{
    ShutdownEventScan scan;
    EXPECT_EQ(ShutdownEventScan::Result::Done, scan.Scan(platform::EventLog::System()));
    EXPECT_EQ(ShutdownEventScan::Result::Done, scan.Scan(platform::EventLog::System()));
    EXPECT_GE(scan.Counter(), 0);
}

}  // namespace
