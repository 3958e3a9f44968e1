#pragma once

#include <cstdint>

namespace platform {

// A system handle as the platform families hand it out, opaque to the code above them: the bits
// of a Windows HANDLE, or a token of a posix substitute. Only the family that made a handle can
// use or close it.
using Handle = std::intptr_t;

// What CreateFileW returns on failure (INVALID_HANDLE_VALUE); other calls fail with null.
inline constexpr Handle kInvalidHandle = -1;
inline constexpr Handle kNullHandle = 0;

inline bool IsUsableHandle(Handle handle)
{
    return handle != kInvalidHandle && handle != kNullHandle;
}

}  // namespace platform
