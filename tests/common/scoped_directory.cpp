#include "common/scoped_directory.h"

#include <atomic>
#include <chrono>
#include <system_error>

namespace vexa_test {

ScopedWorkingDirectory::ScopedWorkingDirectory(const std::string& prefix)
    : m_previous(std::filesystem::current_path())
{
    static std::atomic<unsigned> s_counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    m_path = std::filesystem::temp_directory_path() /
             (prefix + "-" + std::to_string(stamp) + "-" + std::to_string(++s_counter));
    std::filesystem::create_directories(m_path);
    std::filesystem::current_path(m_path);
}

ScopedWorkingDirectory::~ScopedWorkingDirectory()
{
    std::error_code ignored;
    std::filesystem::current_path(m_previous, ignored);
    std::filesystem::remove_all(m_path, ignored);
}

}  // namespace vexa_test
