#include "logging/logger_stream.h"

#include <filesystem>
#include <locale>
#include <system_error>

#include "logging/byte_conversion.h"
#include "logging/log.h"
#include "logging/log_file_path.h"
#include "support/local_time.h"
#include "platform/file_path.h"
#include "platform/last_error.h"
#include "platform/message_dialog.h"
#include "platform/seam.h"

namespace dbg {

LoggerStream::LoggerStream(const std::wstring& fileName, std::uint64_t maxBytes)
    : m_strFileName(fileName), m_strPath(LogFilePath(fileName)), m_nMaxBytes(maxBytes)
{
    // The locale owns the facet and deletes it with its last copy.
    imbue(std::locale(std::locale::classic(), new ByteConversion));
    // Binary, because every entry carries its own CRLF; a Windows text-mode stream would turn it
    // into CR CR LF.
    open(platform::FileSystemPath(m_strPath), std::ios::out | std::ios::trunc | std::ios::binary);
    // Replacing an existing file is the normal case, not an error a later caller should see.
    if (platform::GetLastErrorCode() == platform::kErrorAlreadyExists) {
        platform::SetLastErrorCode(platform::kErrorSuccess);
    }
}

LoggerStream::~LoggerStream()
{
    try {
        if (m_bError && m_bReportFailures) {
            platform::Use<platform::MessageDialog>().Show(m_Buffer.str(), L"Error");
        }
        close();
    } catch (...) {
        // A destructor must not throw; there is nowhere left to report this.
    }
}

void LoggerStream::StopReportingFailures()
{
    m_bReportFailures = false;
}

void LoggerStream::BeginNewFile()
{
    close();
    const std::filesystem::path l_Path = platform::FileSystemPath(m_strPath);
    const std::filesystem::path l_Older = platform::FileSystemPath(m_strPath + L".1");
    std::error_code l_Error;
    std::filesystem::remove(l_Older, l_Error);
    std::filesystem::rename(l_Path, l_Older, l_Error);
    m_bKept = !l_Error;
    m_nLostEntries = 0;
    m_bReopenPending = true;
    ReopenNewFile();
}

void LoggerStream::ReopenNewFile()
{
    clear();
    open(platform::FileSystemPath(m_strPath), std::ios::out | std::ios::trunc | std::ios::binary);
    if (!is_open()) {
        // Entries are dropped until an open succeeds; the next entry tries again.
        ++m_nLostEntries;
        return;
    }
    m_bReopenPending = false;
    std::wstring l_strLine = L"\r\n" + utils::CurrentTimeStamp() + L"\t" +
                             VEXA_LOCATION(L"dbg::LoggerStream::BeginNewFile") + L"\t\t" +
                             m_strFileName + L" reached " + std::to_wstring(m_nMaxBytes / 1024) +
                             L" KB: " +
                             (m_bKept ? L"the earlier entries are in " + m_strFileName + L".1"
                                      : L"the earlier entries could not be kept");
    if (m_nLostEntries != 0) {
        l_strLine += L"; " + std::to_wstring(m_nLostEntries) + L" entries were lost while " +
                     m_strFileName + L" could not be opened";
    }
    l_strLine += L"\r\n";
    *this << l_strLine;
    m_nBytes = l_strLine.size();
}

bool LoggerStream::ReopenAfterFailedWrite()
{
    clear();
    open(platform::FileSystemPath(m_strPath), std::ios::out | std::ios::app | std::ios::binary);
    if (!is_open()) {
        return false;
    }
    const std::wstring l_strLine = L"\r\n" + utils::CurrentTimeStamp() + L"\t" +
                                   VEXA_LOCATION(L"dbg::LoggerStream::ReopenAfterFailedWrite") +
                                   L"\t\t" + std::to_wstring(m_nWriteLost) +
                                   L" entries were lost while " + m_strFileName +
                                   L" could not be written\r\n";
    *this << l_strLine;
    flush();
    if (!good()) {
        close();
        return false;
    }
    m_bWriteFailed = false;
    m_nWriteLost = 0;
    m_nBytes += l_strLine.size();
    return true;
}

std::wostream& LoggerStream::GetStream(std::size_t entryChars)
{
    if (m_bError) {
        return m_Buffer;
    }
    try {
        const std::uint64_t l_nEntryBytes = 2 + static_cast<std::uint64_t>(entryChars);
        if (is_open() && !good()) {
            // The last entry did not get through (a full disk): it is counted, and a later entry
            // opens the file again, which a failed stream would never write to.
            ++m_nWriteLost;
            close();
            m_bWriteFailed = true;
        }
        if (m_bWriteFailed && !ReopenAfterFailedWrite()) {
            // Still no room: this entry is dropped by the closed stream, and counted.
            ++m_nWriteLost;
            return *this;
        }
        if (m_bReopenPending) {
            ReopenNewFile();
        } else if (m_nMaxBytes != kNoLimit && m_nBytes != 0 &&
                   m_nBytes + l_nEntryBytes > m_nMaxBytes) {
            BeginNewFile();
        }
        if (m_bReopenPending) {
            // The stream is closed and drops what it is given.
            return *this;
        }
        *this << L"\r\n";
        flush();
        m_nBytes += l_nEntryBytes;
        return *this;
    } catch (...) {
        m_bError = true;
        return m_Buffer;
    }
}

}  // namespace dbg
