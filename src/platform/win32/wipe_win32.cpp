#include "platform/wipe.h"

#include <windows.h>

namespace platform {

void WipeMemory(void* data, std::size_t size) noexcept
{
    if (data != nullptr) {
        SecureZeroMemory(data, size);
    }
}

}  // namespace platform
