#pragma once

namespace platform {

// The calling thread's last system error code: GetLastError on Windows, a thread-local value
// that the posix substitutes set with the same codes.
unsigned long GetLastErrorCode();
void SetLastErrorCode(unsigned long code);

// The Windows error codes (winerror.h) that the monitor, the platform and the stand-ins use, each
// pinned to the SDK's value in the win32 build. GetLastError reports them as DWORD, the type
// here; the registry functions return them as LONG (RegStatus in registry.h).
inline constexpr unsigned long kErrorSuccess = 0;
inline constexpr unsigned long kErrorInvalidFunction = 1;
inline constexpr unsigned long kErrorFileNotFound = 2;
inline constexpr unsigned long kErrorPathNotFound = 3;
inline constexpr unsigned long kErrorAccessDenied = 5;
inline constexpr unsigned long kErrorInvalidHandle = 6;
inline constexpr unsigned long kErrorNotEnoughMemory = 8;
inline constexpr unsigned long kErrorInvalidData = 13;
inline constexpr unsigned long kErrorHandleEof = 38;
inline constexpr unsigned long kErrorNotSupported = 50;
inline constexpr unsigned long kErrorBadNetPath = 53;
inline constexpr unsigned long kErrorInvalidParameter = 87;
inline constexpr unsigned long kErrorInsufficientBuffer = 122;
inline constexpr unsigned long kErrorBadPathname = 161;
inline constexpr unsigned long kErrorAlreadyExists = 183;
inline constexpr unsigned long kErrorMoreData = 234;
inline constexpr unsigned long kErrorNoMoreItems = 259;
inline constexpr unsigned long kErrorFileInvalid = 1006;
inline constexpr unsigned long kErrorKeyDeleted = 1018;
// ERROR_EXCEPTION_IN_SERVICE: what the registry class reports for an exception it caught.
inline constexpr unsigned long kErrorExceptionInService = 1064;
inline constexpr unsigned long kErrorLogonFailure = 1326;
inline constexpr unsigned long kErrorIoDevice = 1117;
inline constexpr unsigned long kErrorEventLogFileChanged = 1503;

}  // namespace platform
