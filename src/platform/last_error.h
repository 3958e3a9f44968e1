#pragma once

namespace platform {

// The calling thread's last system error code: GetLastError on Windows, a thread-local value
// that the posix substitutes set with the same codes.
unsigned long GetLastErrorCode();
void SetLastErrorCode(unsigned long code);

// Windows error codes the monitor and the posix substitutes use.
inline constexpr unsigned long kErrorSuccess = 0;
inline constexpr unsigned long kErrorFileNotFound = 2;
inline constexpr unsigned long kErrorPathNotFound = 3;
inline constexpr unsigned long kErrorAccessDenied = 5;
inline constexpr unsigned long kErrorInvalidHandle = 6;
inline constexpr unsigned long kErrorHandleEof = 38;
inline constexpr unsigned long kErrorNotSupported = 50;
inline constexpr unsigned long kErrorInvalidParameter = 87;
inline constexpr unsigned long kErrorInsufficientBuffer = 122;
inline constexpr unsigned long kErrorMoreData = 234;
inline constexpr unsigned long kErrorNoMoreItems = 259;
inline constexpr unsigned long kErrorAlreadyExists = 183;
inline constexpr unsigned long kErrorLogonFailure = 1326;

}  // namespace platform
