#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace dbg {
class LoggerStream;
}

namespace service {

// The worker's log for one run: opens (and empties) the log file with its size limit, installs
// it as the log's current stream and sets the level. The worker holds its own reference for its
// run; the log's access point keeps the stream open after the run has ended.
class WorkerLog {
public:
    WorkerLog(const std::wstring& p_strFileName, std::uint32_t p_nLevel, std::uint64_t p_nMaxBytes);
    ~WorkerLog();
    WorkerLog(const WorkerLog&) = delete;
    WorkerLog& operator=(const WorkerLog&) = delete;

private:
    std::shared_ptr<dbg::LoggerStream> m_pStream;
};

}  // namespace service
