#pragma once

#include <string>

namespace platform {

// Writing a whole file so that a reader sees either the old or the new content, never a part:
// the bytes go into "<path>.tmp" in the same folder, which then replaces the file in one step
// (MoveFileExW with MOVEFILE_REPLACE_EXISTING on Windows, rename on posix).
class ReplacedFile {
public:
    virtual ~ReplacedFile() = default;
    // False when any step failed, with the reason in GetLastErrorCode(); the temporary file is
    // then removed and the file at `path` is left as it was.
    virtual bool Write(const std::wstring& path, const std::string& bytes) = 0;
    static ReplacedFile& System();
};

// The temporary file's name beside `path`. It does not end like `path`, so that a collector
// reading the folder's files of one extension never picks it up.
inline std::wstring TemporaryFileOf(const std::wstring& path)
{
    return path + L".tmp";
}

}  // namespace platform
