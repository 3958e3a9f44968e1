#include "platform/last_error.h"

#include <windows.h>

namespace platform {

static_assert(kErrorSuccess == ERROR_SUCCESS);
static_assert(kErrorFileNotFound == ERROR_FILE_NOT_FOUND);
static_assert(kErrorPathNotFound == ERROR_PATH_NOT_FOUND);
static_assert(kErrorAccessDenied == ERROR_ACCESS_DENIED);
static_assert(kErrorInvalidHandle == ERROR_INVALID_HANDLE);
static_assert(kErrorNotEnoughMemory == ERROR_NOT_ENOUGH_MEMORY);
static_assert(kErrorInvalidData == ERROR_INVALID_DATA);
static_assert(kErrorInvalidFunction == ERROR_INVALID_FUNCTION);
static_assert(kErrorIoDevice == ERROR_IO_DEVICE);
static_assert(kErrorHandleEof == ERROR_HANDLE_EOF);
static_assert(kErrorNotSupported == ERROR_NOT_SUPPORTED);
static_assert(kErrorBadNetPath == ERROR_BAD_NETPATH);
static_assert(kErrorInvalidParameter == ERROR_INVALID_PARAMETER);
static_assert(kErrorInsufficientBuffer == ERROR_INSUFFICIENT_BUFFER);
static_assert(kErrorBadPathname == ERROR_BAD_PATHNAME);
static_assert(kErrorAlreadyExists == ERROR_ALREADY_EXISTS);
static_assert(kErrorMoreData == ERROR_MORE_DATA);
static_assert(kErrorNoMoreItems == ERROR_NO_MORE_ITEMS);
static_assert(kErrorFileInvalid == ERROR_FILE_INVALID);
static_assert(kErrorKeyDeleted == ERROR_KEY_DELETED);
static_assert(kErrorExceptionInService == ERROR_EXCEPTION_IN_SERVICE);
static_assert(kErrorLogonFailure == ERROR_LOGON_FAILURE);
static_assert(kErrorEventLogFileChanged == ERROR_EVENTLOG_FILE_CHANGED);

unsigned long GetLastErrorCode()
{
    return ::GetLastError();
}

void SetLastErrorCode(unsigned long code)
{
    ::SetLastError(code);
}

}  // namespace platform
