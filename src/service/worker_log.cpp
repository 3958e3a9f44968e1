#include "service/worker_log.h"

#include "logging/log_stream_access.h"
#include "logging/logger_stream.h"

namespace service {

WorkerLog::WorkerLog(const std::wstring& p_strFileName, std::uint32_t p_nLevel,
                     std::uint64_t p_nMaxBytes)
{
    dbg::LogStreamAccess& l_Access = dbg::LogStreamAccess::Instance();
    // The previous run's stream is closed before the new one empties the same file, so its
    // last buffered entry cannot land in the new file.
    l_Access.SetStream(nullptr);
    m_pStream = std::make_shared<dbg::LoggerStream>(p_strFileName, p_nMaxBytes);
    l_Access.SetStream(m_pStream);
    l_Access.SetLevel(p_nLevel);
}

WorkerLog::~WorkerLog() = default;

}  // namespace service
