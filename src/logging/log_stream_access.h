#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace dbg {

class LoggerStream;

// The process-wide access point of the log: the current stream and the current level. Entries
// go nowhere until a stream is installed.
class LogStreamAccess {
public:
    static LogStreamAccess& Instance();
    virtual ~LogStreamAccess();

    LogStreamAccess(const LogStreamAccess&) = delete;
    LogStreamAccess& operator=(const LogStreamAccess&) = delete;

    // Installs `stream` (may be empty); the previous one is released and closes once no one
    // else holds it.
    void SetStream(std::shared_ptr<LoggerStream> stream);
    void SetLevel(std::uint32_t level) { m_nLevel.store(level, std::memory_order_relaxed); }
    std::uint32_t GetLevel() const { return m_nLevel.load(std::memory_order_relaxed); }

    // Writes one complete entry to the current stream, if any.
    void Write(const std::wstring& entry);

private:
    LogStreamAccess() = default;

    std::shared_ptr<LoggerStream> m_pStream;
    std::atomic<std::uint32_t> m_nLevel{0};
    // Keeps entries whole should more than one thread log.
    std::mutex m_Mutex;
};

}  // namespace dbg
