#include "platform/event_log.h"

#include <windows.h>

#include <cstddef>

#include "platform/event_log_record.h"

namespace platform {
namespace {

static_assert(sizeof(EVENTLOGRECORD) == kEventLogRecordFixedSize);
static_assert(offsetof(EVENTLOGRECORD, Length) == kRecordLengthOffset);
static_assert(offsetof(EVENTLOGRECORD, Reserved) == kRecordSignatureOffset);
static_assert(offsetof(EVENTLOGRECORD, RecordNumber) == kRecordNumberOffset);
static_assert(offsetof(EVENTLOGRECORD, TimeGenerated) == kRecordTimeGeneratedOffset);
static_assert(offsetof(EVENTLOGRECORD, TimeWritten) == kRecordTimeWrittenOffset);
static_assert(offsetof(EVENTLOGRECORD, EventID) == kRecordEventIdOffset);
static_assert(offsetof(EVENTLOGRECORD, EventType) == kRecordEventTypeOffset);
static_assert(offsetof(EVENTLOGRECORD, StringOffset) == kRecordStringOffsetOffset);
static_assert(offsetof(EVENTLOGRECORD, UserSidOffset) == kRecordUserSidOffsetOffset);
static_assert(offsetof(EVENTLOGRECORD, DataOffset) == kRecordDataOffsetOffset);
static_assert(EVENTLOG_SEQUENTIAL_READ == kEventLogSequentialRead &&
              EVENTLOG_SEEK_READ == kEventLogSeekRead &&
              EVENTLOG_FORWARDS_READ == kEventLogForwardsRead &&
              EVENTLOG_BACKWARDS_READ == kEventLogBackwardsRead);
static_assert(EVENTLOG_ERROR_TYPE == kEventTypeError &&
              EVENTLOG_WARNING_TYPE == kEventTypeWarning &&
              EVENTLOG_INFORMATION_TYPE == kEventTypeInformation);

HANDLE ToHandle(EventLogHandle log)
{
    return reinterpret_cast<HANDLE>(log);
}

class Win32EventLog final : public EventLog {
public:
    EventLogHandle Open(const std::wstring& logName) override
    {
        return reinterpret_cast<EventLogHandle>(OpenEventLogW(nullptr, logName.c_str()));
    }

    bool Close(EventLogHandle log) override { return CloseEventLog(ToHandle(log)) != FALSE; }

    bool GetOldestRecord(EventLogHandle log, std::uint32_t& recordNumber) override
    {
        DWORD oldest = 0;
        const bool ok = GetOldestEventLogRecord(ToHandle(log), &oldest) != FALSE;
        recordNumber = oldest;
        return ok;
    }

    bool GetNumberOfRecords(EventLogHandle log, std::uint32_t& count) override
    {
        DWORD records = 0;
        const bool ok = GetNumberOfEventLogRecords(ToHandle(log), &records) != FALSE;
        count = records;
        return ok;
    }

    bool Read(EventLogHandle log, std::uint32_t flags, std::uint32_t recordOffset, void* buffer,
              std::uint32_t bufferBytes, std::uint32_t& bytesRead,
              std::uint32_t& bytesNeeded) override
    {
        DWORD read = 0;
        DWORD needed = 0;
        const bool ok = ReadEventLogW(ToHandle(log), flags, recordOffset, buffer, bufferBytes,
                                      &read, &needed) != FALSE;
        bytesRead = read;
        bytesNeeded = needed;
        return ok;
    }
};

}  // namespace

EventLog& EventLog::System()
{
    static Win32EventLog log;
    return log;
}

}  // namespace platform
