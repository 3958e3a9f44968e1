#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>

namespace platform {

// An open file read at any offset, so a reader can take what it needs from the end of a file
// that another program keeps appending to.
class ReadableFile {
public:
    virtual ~ReadableFile() = default;
    // The file's current size in bytes.
    virtual std::uint64_t Size() = 0;
    // Reads up to `size` bytes at `offset`; the number read (0 at or beyond the end or on
    // failure).
    virtual std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t size) = 0;
};

// Opening an existing file for reading while other processes read, write or delete it
// (CreateFileW with full sharing; open on posix, with the Windows path mapped).
class SharedFile {
public:
    virtual ~SharedFile() = default;
    // Nothing when the file cannot be opened, with the reason in GetLastErrorCode().
    virtual std::unique_ptr<ReadableFile> OpenForReading(const std::wstring& path) = 0;
    static SharedFile& System();
};

// How a read of a whole file ended: Missing when neither the file nor its folder exists, Failed
// when it exists but cannot be opened (the reason in GetLastErrorCode()).
enum class WholeFile { Read, Missing, Failed };

// The file's bytes into `bytes` (empty unless Read), at most `limit` of them, through
// Use<SharedFile>(). A file cut shorter meanwhile is taken as far as it was read.
WholeFile ReadWholeFile(const std::wstring& path, std::string& bytes,
                        std::uint64_t limit = std::numeric_limits<std::uint64_t>::max());

}  // namespace platform
