#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>

namespace dbg {

// The log file (see LogFilePath), emptied on opening, shared with other readers and writers,
// written as 8-bit text (see ByteConversion). If the open fails the stream stays in its failed
// state and every entry is dropped silently.
//
// With a size limit the file stays bounded: an entry that would take it past the limit first
// renames it to "<file name>.1" (replacing an older one) and begins the file anew with a line
// saying so. When the file cannot be renamed it is begun anew all the same. When the new file
// cannot be opened, every following entry tries again until one succeeds; the entries dropped
// meanwhile are counted in its first line.
//
// An entry that cannot be written (a full disk) is counted, and the next entry opens the file
// again to append: the first line that gets through tells how many entries were lost.
class LoggerStream : public std::wofstream {
public:
    static constexpr std::uint64_t kNoLimit = 0;

    explicit LoggerStream(const std::wstring& fileName, std::uint64_t maxBytes = kNoLimit);
    // Shows the entries collected after a failure (if any) in a message box, unless the stream
    // was told to stop reporting failures, then closes the file. Never throws.
    ~LoggerStream() override;

    LoggerStream(const LoggerStream&) = delete;
    LoggerStream& operator=(const LoggerStream&) = delete;

    // Starts a new entry of `entryChars` characters: writes CRLF and flushes, and returns the
    // stream that takes the entry, the file or, once writing to the file has thrown, m_Buffer.
    std::wostream& GetStream(std::size_t entryChars = 0);

    // From now on a failure only stops the writing: what was collected after it is dropped, and no
    // message box is shown when the stream closes. For the module's unload, where a message box
    // would wait under the loader lock.
    void StopReportingFailures();

private:
    // Renames the full file to "<file name>.1" and opens an empty one that begins with a line
    // telling where the earlier entries are.
    void BeginNewFile();
    // Opens the empty file after a change and writes its first line; on failure the stream stays
    // closed, the entry is counted as lost, and m_bReopenPending stays set.
    void ReopenNewFile();
    // Opens the file again after a failed write and writes the line that counts the lost entries;
    // false (the stream closed) while that cannot be written either.
    bool ReopenAfterFailedWrite();

    std::wstring m_strFileName;
    std::wstring m_strPath;
    std::uint64_t m_nMaxBytes;
    std::uint64_t m_nBytes = 0;  // in the file: one byte a character
    std::wostringstream m_Buffer;
    bool m_bError = false;
    bool m_bReopenPending = false;
    bool m_bKept = false;              // whether the full file became "<file name>.1"
    std::uint64_t m_nLostEntries = 0;  // dropped since the change, while the file was not open
    bool m_bReportFailures = true;
    bool m_bWriteFailed = false;     // an entry did not get through; the file is to be reopened
    std::uint64_t m_nWriteLost = 0;  // entries lost since then
};

}  // namespace dbg
