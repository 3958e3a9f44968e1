#include "common/temp_folder.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

#include "common/process_variable.h"

namespace testing_support {
namespace {

std::atomic<unsigned> s_counter{0};

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

ScopedEnvironmentVariable::ScopedEnvironmentVariable(const std::wstring& name,
                                                     const std::wstring* value)
    : m_strName(name)
{
    m_bHadValue = ReadProcessVariable(name, m_strOldValue);
    WriteProcessVariable(name, value);
}

ScopedEnvironmentVariable::~ScopedEnvironmentVariable()
{
    WriteProcessVariable(m_strName, m_bHadValue ? &m_strOldValue : nullptr);
}

}  // namespace testing_support
