#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/handle.h"

namespace platform {

// Named shared memory: CreateFileW, CreateFileMappingW, MapViewOfFile, UnmapViewOfFile and
// CloseHandle. The posix substitute keeps a named mapping as a file of that name in the working
// directory, grown to the mapping's size and mapped shared, so separate processes see the same
// bytes as they do through a named mapping on Windows. Failures set GetLastErrorCode().
class SharedMemory {
public:
    virtual ~SharedMemory() = default;

    // Opens or creates `path` for reading and writing, unshared, with normal attributes
    // (open-always). kInvalidHandle on failure. The posix substitute does not emulate the
    // exclusive share mode.
    virtual Handle OpenFile(const std::wstring& path) = 0;

    // The mapping called `name`: an existing one as it is (the file and the size are then
    // ignored), otherwise a new read-write mapping of `size` bytes backed by `file`, which grows
    // to that size with zeros. Without a file Windows backs it by the paging file; the posix
    // substitute always uses the file called `name` in the working directory. kNullHandle on
    // failure. An empty name makes an unnamed mapping that no other process can reach (on posix
    // memory of its own, no file).
    virtual Handle CreateMapping(Handle file, const std::wstring& name, std::uint32_t size) = 0;

    // The existing mapping called `name`, for reading only (OpenFileMappingW with FILE_MAP_READ;
    // on posix the file of that name in the working directory, opened read-only, never created
    // and never through a symbolic link). kNullHandle when there is none.
    virtual Handle OpenMapping(const std::wstring& name) = 0;

    // A view of the first `size` bytes (0: all of it), read-only unless `writable`; nullptr on
    // failure, also when `size` exceeds the mapping. The posix substitute's read-only view is a
    // copy of the bytes at the time of the call (zero past the end of a file that another
    // process shortened), so a writer that rewrites the file cannot fault the reader.
    virtual void* MapView(Handle mapping, std::size_t size, bool writable) = 0;

    virtual void UnmapView(void* view) = 0;

    // Closes a handle of OpenFile or CreateMapping; false for one it does not know.
    virtual bool Close(Handle handle) = 0;

    static SharedMemory& System();
};

}  // namespace platform
