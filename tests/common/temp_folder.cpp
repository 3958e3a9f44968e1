#include "common/temp_folder.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdlib>

#include "platform/posix/native_path_posix.h"
#endif

namespace testing_support {
namespace {

std::atomic<unsigned> s_counter{0};

#ifdef _WIN32
bool GetVariable(const std::wstring& name, std::wstring& value)
{
    wchar_t buffer[32767];
    SetLastError(ERROR_SUCCESS);
    const DWORD length = GetEnvironmentVariableW(name.c_str(), buffer, 32767);
    if (length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) {
        return false;
    }
    value.assign(buffer, length);
    return true;
}

void SetVariable(const std::wstring& name, const std::wstring* value)
{
    SetEnvironmentVariableW(name.c_str(), value != nullptr ? value->c_str() : nullptr);
}
#else
std::string Narrow(const std::wstring& text)
{
    return platform::posix::ToNative(text);
}

bool GetVariable(const std::wstring& name, std::wstring& value)
{
    const char* found = std::getenv(Narrow(name).c_str());
    if (found == nullptr) {
        return false;
    }
    value = platform::posix::FromNative(found);
    return true;
}

void SetVariable(const std::wstring& name, const std::wstring* value)
{
    if (value != nullptr) {
        ::setenv(Narrow(name).c_str(), Narrow(*value).c_str(), 1);
    } else {
        ::unsetenv(Narrow(name).c_str());
    }
}
#endif

}  // namespace

TempFolder::TempFolder()
{
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (int attempt = 0; attempt < 100; ++attempt) {
        m_path = std::filesystem::temp_directory_path() /
                 ("vexa-test-" + std::to_string(stamp) + "-" + std::to_string(s_counter++));
        if (std::filesystem::create_directory(m_path)) {
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::wstring TempFolder::Path() const
{
    return m_path.wstring();
}

std::wstring TempFolder::Path(const std::wstring& name) const
{
    return (m_path / name).wstring();
}

void TempFolder::Write(const std::wstring& name, const std::string& bytes) const
{
    std::ofstream file(m_path / name, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file) {
        throw std::runtime_error("cannot write a test file");
    }
}

std::string TempFolder::Read(const std::wstring& name) const
{
    std::ifstream file(m_path / name, std::ios::binary);
    if (!file) {
        return "<missing>";
    }
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

ScopedEnvironmentVariable::ScopedEnvironmentVariable(const std::wstring& name, const std::wstring* value)
    : m_strName(name)
{
    m_bHadValue = GetVariable(name, m_strOldValue);
    SetVariable(name, value);
}

ScopedEnvironmentVariable::~ScopedEnvironmentVariable()
{
    SetVariable(m_strName, m_bHadValue ? &m_strOldValue : nullptr);
}

}  // namespace testing_support
