#pragma once

#include <filesystem>
#include <string>

namespace vexa_test {

// A fresh empty folder under the system's temporary folder, made the working directory for the
// life of the object; the previous working directory is restored and the folder removed after.
class ScopedWorkingDirectory {
public:
    explicit ScopedWorkingDirectory(const std::string& prefix);
    ~ScopedWorkingDirectory();
    ScopedWorkingDirectory(const ScopedWorkingDirectory&) = delete;
    ScopedWorkingDirectory& operator=(const ScopedWorkingDirectory&) = delete;

    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_previous;
    std::filesystem::path m_path;
};

}  // namespace vexa_test
