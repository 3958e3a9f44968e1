#pragma once

#include <cstddef>
#include <string>

namespace platform {

// File-system queries the settings code needs (GetModuleFileNameW, FindFirstFileW,
// GetDiskFreeSpaceW).
class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Full path of the module that holds the monitor (the DLL, not the host), at most
    // maxChars characters; empty when it cannot be determined.
    virtual std::wstring ModulePath(std::size_t maxChars) = 0;
    // Whether a file search finds an entry (file or directory) of exactly this name.
    virtual bool FindEntry(const std::wstring& path) = 0;
    // Whether `root` ("c:\" or "\\server\share\") is a known drive reporting more than zero
    // clusters in total.
    virtual bool DriveReady(const std::wstring& root) = 0;
    static FileSystem& System();
};

}  // namespace platform
