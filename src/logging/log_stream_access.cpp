#include "logging/log_stream_access.h"

#include <utility>

#include "logging/logger_stream.h"

namespace dbg {

LogStreamAccess& LogStreamAccess::Instance()
{
    static LogStreamAccess s_instance;
    return s_instance;
}

LogStreamAccess::~LogStreamAccess()
{
    // The access point goes when the module unloads (on Windows under the loader lock), where no
    // message box may wait for a click: a stream that failed only stops writing.
    if (m_pStream) {
        m_pStream->StopReportingFailures();
    }
}

void LogStreamAccess::SetStream(std::shared_ptr<LoggerStream> stream)
{
    std::shared_ptr<LoggerStream> previous;
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        previous = std::exchange(m_pStream, std::move(stream));
    }
    // `previous` goes here, outside the lock: closing it may show a message box.
}

void LogStreamAccess::Write(const std::wstring& entry)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (!m_pStream) {
        return;
    }
    std::wostream& target = m_pStream->GetStream(entry.size());
    target << entry;
    // Nothing stays buffered: when the worker starts again, its new stream empties the file while
    // this one is still installed, and a buffered entry would later be written into the new
    // file at this stream's old position. It also keeps the last entry before a crash.
    target.flush();
}

}  // namespace dbg
