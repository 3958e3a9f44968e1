#pragma once

#include <cstdint>
#include <string>

namespace platform {

using EventLogHandle = std::uintptr_t;

// ReadEventLogW flags.
inline constexpr std::uint32_t kEventLogSequentialRead = 0x0001;
inline constexpr std::uint32_t kEventLogSeekRead = 0x0002;
inline constexpr std::uint32_t kEventLogForwardsRead = 0x0004;
inline constexpr std::uint32_t kEventLogBackwardsRead = 0x0008;

// Event types of a record.
inline constexpr std::uint16_t kEventTypeError = 0x0001;
inline constexpr std::uint16_t kEventTypeWarning = 0x0002;
inline constexpr std::uint16_t kEventTypeInformation = 0x0004;

// The event-log functions (OpenEventLogW, GetOldestEventLogRecord, ReadEventLogW, ...) of the
// local computer. Reads deliver EVENTLOGRECORD buffers in the Windows layout on every platform,
// so one record walker (event_log_record.h) parses them. Failures leave their reason in
// GetLastErrorCode(): ERROR_HANDLE_EOF (38) at the end of the log, ERROR_INSUFFICIENT_BUFFER
// (122) with `bytesNeeded` when the next record does not fit, ERROR_INVALID_PARAMETER (87) for a
// seek to a record that is not in the log, ERROR_EVENTLOG_FILE_CHANGED (1503) for a handle
// opened before the log was cleared.
class EventLog {
public:
    virtual ~EventLog() = default;

    // The log of that name, or 0 when it cannot be opened.
    virtual EventLogHandle Open(const std::wstring& logName) = 0;
    virtual bool Close(EventLogHandle log) = 0;
    virtual bool GetOldestRecord(EventLogHandle log, std::uint32_t& recordNumber) = 0;
    virtual bool GetNumberOfRecords(EventLogHandle log, std::uint32_t& count) = 0;
    // As many whole records as fit into the buffer, from the handle's read position
    // (sequential) or from `recordOffset` (seek); the position then follows the last record.
    virtual bool Read(EventLogHandle log, std::uint32_t flags, std::uint32_t recordOffset,
                      void* buffer, std::uint32_t bufferBytes, std::uint32_t& bytesRead,
                      std::uint32_t& bytesNeeded) = 0;

    static EventLog& System();
};

}  // namespace platform
