#include "platform/last_error.h"

namespace platform {
namespace {
thread_local unsigned long t_lastError = kErrorSuccess;
}

unsigned long GetLastErrorCode()
{
    return t_lastError;
}

void SetLastErrorCode(unsigned long code)
{
    t_lastError = code;
}

}  // namespace platform
