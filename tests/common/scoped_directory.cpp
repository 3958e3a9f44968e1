#include "common/scoped_directory.h"

#include <system_error>

namespace vexa_test {

ScopedWorkingDirectory::ScopedWorkingDirectory() : m_previous(std::filesystem::current_path())
{
    std::filesystem::current_path(Path());
}

ScopedWorkingDirectory::~ScopedWorkingDirectory()
{
    std::error_code ignored;
    std::filesystem::current_path(m_previous, ignored);
}

}  // namespace vexa_test
