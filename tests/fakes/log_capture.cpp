#include "fakes/log_capture.h"

#include <atomic>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <regex>
#include <system_error>

#include "logging/log_stream_access.h"
#include "logging/logger_stream.h"
#include "platform/environment.h"
#include "platform/seam.h"

namespace fakes {

namespace {

// Answers TEMP only; every other variable is unset.
class TempOnlyEnvironment : public platform::Environment {
public:
    explicit TempOnlyEnvironment(std::wstring temp) : m_strTemp(std::move(temp)) {}
    std::optional<std::wstring> Get(const std::wstring& name) override
    {
        if (name == L"TEMP") {
            return m_strTemp;
        }
        return std::nullopt;
    }

private:
    std::wstring m_strTemp;
};

std::filesystem::path UniqueDirectory()
{
    static std::atomic<unsigned> s_counter{0};
    std::random_device random;
    const std::wstring name =
        L"vexa-test-" + std::to_wstring(random()) + L"-" + std::to_wstring(s_counter.fetch_add(1));
    return std::filesystem::temp_directory_path() / name;
}

}  // namespace

TempDirectory::TempDirectory() : m_Path(UniqueDirectory())
{
    std::filesystem::create_directories(m_Path);
}

TempDirectory::~TempDirectory()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_Path, ignored);
}

std::wstring TempDirectory::WindowsPath() const
{
    return m_Path.wstring();
}

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
    TempOnlyEnvironment environment(m_Directory.WindowsPath());
    platform::Substitute<platform::Environment> substitute(environment);
    return std::make_shared<dbg::LoggerStream>(m_strFileName);
}

std::filesystem::path LogCapture::FilePath() const
{
    return m_Directory.Path() / m_strFileName;
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
