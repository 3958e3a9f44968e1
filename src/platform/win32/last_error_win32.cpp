#include "platform/last_error.h"

#include <windows.h>

namespace platform {

static_assert(kErrorPathNotFound == ERROR_PATH_NOT_FOUND);
static_assert(kErrorNotSupported == ERROR_NOT_SUPPORTED);
static_assert(kErrorMoreData == ERROR_MORE_DATA);
static_assert(kErrorNoMoreItems == ERROR_NO_MORE_ITEMS);
static_assert(kErrorLogonFailure == ERROR_LOGON_FAILURE);

unsigned long GetLastErrorCode()
{
    return ::GetLastError();
}

void SetLastErrorCode(unsigned long code)
{
    ::SetLastError(code);
}

}  // namespace platform
