#pragma once

#include <string>

#include "platform/last_error.h"
#include "platform/replaced_file.h"

namespace fakes {

// Counts the whole-file writes and records the last; fails them while told to, as a full or
// read-only disk does. The others reach the file system, unless `passThrough` is off.
class CountingReplacedFile : public platform::ReplacedFile {
public:
    bool Write(const std::wstring& path, const std::string& bytes) override
    {
        ++writes;
        lastPath = path;
        lastBytes = bytes;
        if (fail) {
            platform::SetLastErrorCode(failureCode);
            return false;
        }
        return !passThrough || platform::ReplacedFile::System().Write(path, bytes);
    }

    int writes = 0;
    bool fail = false;
    unsigned long failureCode = platform::kErrorAccessDenied;
    bool passThrough = true;
    std::wstring lastPath;
    std::string lastBytes;
};

}  // namespace fakes
