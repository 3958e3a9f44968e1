#include "logging/logger_stream.h"

#include <locale>

#include "logging/byte_conversion.h"
#include "logging/log_file_path.h"
#include "platform/file_path.h"
#include "platform/last_error.h"
#include "platform/message_dialog.h"
#include "platform/seam.h"

namespace dbg {

LoggerStream::LoggerStream(const std::wstring& fileName)
{
    // The locale owns the facet and deletes it with its last copy.
    imbue(std::locale(std::locale::classic(), new ByteConversion));
    // Binary, because every entry carries its own CRLF; a Windows text-mode stream would turn it
    // into CR CR LF.
    open(platform::FileSystemPath(LogFilePath(fileName)),
         std::ios::out | std::ios::trunc | std::ios::binary);
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

std::wostream& LoggerStream::GetStream()
{
    if (m_bError) {
        return m_Buffer;
    }
    try {
        *this << L"\r\n";
        flush();
        return *this;
    } catch (...) {
        m_bError = true;
        return m_Buffer;
    }
}

}  // namespace dbg
