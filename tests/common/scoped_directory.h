#pragma once

#include <filesystem>

#include "common/temp_folder.h"

namespace vexa_test {

// A fresh temporary folder made the working directory for the life of the object; the previous
// working directory is restored before the folder is removed.
class ScopedWorkingDirectory {
public:
    ScopedWorkingDirectory();
    ~ScopedWorkingDirectory();
    ScopedWorkingDirectory(const ScopedWorkingDirectory&) = delete;
    ScopedWorkingDirectory& operator=(const ScopedWorkingDirectory&) = delete;

    std::filesystem::path Path() const { return m_Folder.Path(); }

private:
    std::filesystem::path m_previous;
    testing_support::TempFolder m_Folder;
};

}  // namespace vexa_test
