#pragma once

#include <string>

namespace platform {

// Whether every user of the machine may change or read a file or folder: on Windows whether its
// DACL allows Everyone, Authenticated Users or Users (GetNamedSecurityInfoW) to write (a folder:
// add or delete files; a file: change it, its rights or its owner) or to read; on posix whether
// its mode grants others write or read.
class FileRights {
public:
    enum class Access { kWrite, kRead };

    virtual ~FileRights() = default;
    // False when the path does not exist or its rights cannot be read.
    virtual bool OpenToAllUsers(const std::wstring& path, Access access) = 0;
    static FileRights& System();
};

}  // namespace platform
