#pragma once

#include <cstddef>

namespace platform {

// Overwrites `size` bytes at `data` with zeros in a way the compiler may not leave out although
// the memory is not read again (SecureZeroMemory on Windows, explicit_bzero on posix): for
// secrets about to be freed or to go out of scope.
void WipeMemory(void* data, std::size_t size) noexcept;

}  // namespace platform
