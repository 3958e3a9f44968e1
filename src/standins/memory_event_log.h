#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/event_log.h"

namespace platform {

// An event log held in memory that answers the event-log functions as Windows does: records
// numbered from 1, whole records per read, sequential reads from the oldest record, seek reads,
// a log of limited capacity that overwrites its oldest records, clearing that starts the
// numbers at 1 again, after which reads through a handle opened before fail with
// ERROR_EVENTLOG_FILE_CHANGED (1503). Every log name opens the same log. Thread-safe.
class MemoryEventLog final : public EventLog {
public:
    // `firstTime`: the time stamp of the first record; each record is one second later.
    explicit MemoryEventLog(std::uint32_t firstTime = 1700000000u);

    // A log that cannot be opened (OpenEventLogW fails with ERROR_FILE_NOT_FOUND).
    void SetOpenable(bool openable);
    // At most this many records (0: no limit); the oldest records go first.
    void SetCapacity(std::size_t records);
    void Append(std::uint16_t eventType, std::uint32_t eventId, const std::wstring& sourceName);
    void Clear();
    std::size_t RecordCount() const;

    EventLogHandle Open(const std::wstring& logName) override;
    bool Close(EventLogHandle log) override;
    bool GetOldestRecord(EventLogHandle log, std::uint32_t& recordNumber) override;
    bool GetNumberOfRecords(EventLogHandle log, std::uint32_t& count) override;
    bool Read(EventLogHandle log, std::uint32_t flags, std::uint32_t recordOffset, void* buffer,
              std::uint32_t bufferBytes, std::uint32_t& bytesRead,
              std::uint32_t& bytesNeeded) override;

private:
    void DropOverCapacity();

    mutable std::mutex m_mutex;
    bool m_bOpenable = true;
    std::size_t m_nCapacity = 0;
    std::deque<std::vector<std::uint8_t>> m_Records;
    std::uint32_t m_nOldest = 1;  // number of m_Records.front()
    std::uint32_t m_nTime;
    // The position of a handle opened before the log was cleared.
    static constexpr std::uint32_t kChangedPosition = 0;

    std::map<EventLogHandle, std::uint32_t> m_ReadPositions;  // next record of each handle
    EventLogHandle m_nNextHandle = 0x100;
};

// Loads records into `log`, one a line: TYPE ID SOURCE, TYPE a number or "information",
// "warning", "error"; ID a decimal or 0x hexadecimal number; SOURCE the rest of the line. A file
// that cannot be read makes a log that cannot be opened. False when the file is missing or a
// line is malformed (that line is skipped).
bool LoadEventLogFile(MemoryEventLog& log, const std::string& path);

}  // namespace platform
