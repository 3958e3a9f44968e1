#pragma once

#include <cstddef>
#include <cstdint>
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

}  // namespace platform
