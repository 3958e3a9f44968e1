#include "fakes/log_capture.h"

#include <fstream>
#include <iterator>
#include <regex>

#include "fakes/memory_environment.h"
#include "logging/log_stream_access.h"
#include "logging/logger_stream.h"
#include "platform/seam.h"

namespace fakes {

LogCapture::LogCapture(std::uint32_t level, const std::wstring& fileName) : m_strFileName(fileName)
{
    dbg::LogStreamAccess::Instance().SetStream(OpenStream());
    dbg::LogStreamAccess::Instance().SetLevel(level);
}

LogCapture::~LogCapture()
{
    dbg::LogStreamAccess::Instance().SetStream(nullptr);
    dbg::LogStreamAccess::Instance().SetLevel(0);
}

std::shared_ptr<dbg::LoggerStream> LogCapture::OpenStream() const
{
    MemoryEnvironment environment({{L"TEMP", m_Directory.Path()}});
    platform::Substitute<platform::Environment> substitute(environment);
    return std::make_shared<dbg::LoggerStream>(m_strFileName);
}

std::filesystem::path LogCapture::FilePath() const
{
    return m_Directory.Path(m_strFileName);
}

std::string LogCapture::Contents() const
{
    std::ifstream file(FilePath(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string LogCapture::Normalized(bool maskLineNumbers) const
{
    std::string text = MaskTimeStamps(Contents());
    if (maskLineNumbers) {
        static const std::regex s_line("line: [0-9]+");
        text = std::regex_replace(text, s_line, "line: N");
    }
    return text;
}

std::string MaskTimeStamps(const std::string& text)
{
    static const std::regex s_stamp("[0-9]{4}-[A-Z][a-z]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}");
    return std::regex_replace(text, s_stamp, "T");
}

}  // namespace fakes
