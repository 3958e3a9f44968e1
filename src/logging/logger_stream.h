#pragma once

#include <fstream>
#include <sstream>
#include <string>

namespace dbg {

// The log file (see LogFilePath), emptied on opening, shared with other readers and writers,
// written as 8-bit text (see ByteConversion). If the open fails the stream stays in its failed
// state and every entry is dropped silently.
class LoggerStream : public std::wofstream {
public:
    explicit LoggerStream(const std::wstring& fileName);
    // Shows the entries collected after a failure (if any) in a message box, unless the stream
    // was told to stop reporting failures, then closes the file. Never throws.
    ~LoggerStream() override;

    LoggerStream(const LoggerStream&) = delete;
    LoggerStream& operator=(const LoggerStream&) = delete;

    // Starts a new entry: writes CRLF and flushes, and returns the stream that takes the entry,
    // the file or, once writing to the file has thrown, m_Buffer.
    std::wostream& GetStream();

    // From now on a failure only stops the writing: what was collected after it is dropped, and no
    // message box is shown when the stream closes. For the module's unload, where a message box
    // would wait under the loader lock.
    void StopReportingFailures();

private:
    std::wostringstream m_Buffer;
    bool m_bError = false;
    bool m_bReportFailures = true;
};

}  // namespace dbg
