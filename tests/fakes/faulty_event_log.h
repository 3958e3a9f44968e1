#pragma once

#include <cstdint>
#include <string>

#include "platform/event_log.h"
#include "platform/last_error.h"

namespace fakes {

// An event log with failures laid in: a log that cannot be opened (ERROR_FILE_NOT_FOUND),
// whose handles no longer answer (as when the event-log service has stopped), whose oldest
// record cannot be determined, or whose seek reads fail (ERROR_INVALID_PARAMETER, as the
// Application log does on some systems). Counts the handles it closed.
class FaultyEventLog : public platform::EventLog {
public:
    explicit FaultyEventLog(platform::EventLog& log) : m_Log(log) {}

    platform::EventLogHandle Open(const std::wstring& name) override
    {
        if (m_bGone) {
            platform::SetLastErrorCode(platform::kErrorFileNotFound);
            return 0;
        }
        return m_Log.Open(name);
    }
    bool Close(platform::EventLogHandle log) override
    {
        ++m_nClosed;
        return m_Log.Close(log);
    }
    bool GetOldestRecord(platform::EventLogHandle log, std::uint32_t& number) override
    {
        if (m_bGone || m_bNoOldestRecord) {
            platform::SetLastErrorCode(platform::kErrorInvalidHandle);
            return false;
        }
        return m_Log.GetOldestRecord(log, number);
    }
    bool GetNumberOfRecords(platform::EventLogHandle log, std::uint32_t& count) override
    {
        return m_Log.GetNumberOfRecords(log, count);
    }
    bool Read(platform::EventLogHandle log, std::uint32_t flags, std::uint32_t offset, void* buffer,
              std::uint32_t bytes, std::uint32_t& read, std::uint32_t& needed) override
    {
        read = 0;
        needed = 0;
        if (m_bGone) {
            platform::SetLastErrorCode(platform::kErrorInvalidHandle);
            return false;
        }
        if (m_bFailSeeks && (flags & platform::kEventLogSeekRead) != 0) {
            platform::SetLastErrorCode(platform::kErrorInvalidParameter);
            return false;
        }
        return m_Log.Read(log, flags, offset, buffer, bytes, read, needed);
    }

    bool m_bGone = false;
    bool m_bNoOldestRecord = false;
    bool m_bFailSeeks = false;
    int m_nClosed = 0;

private:
    platform::EventLog& m_Log;
};

}  // namespace fakes
