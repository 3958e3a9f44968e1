#include "platform/wipe.h"

#include <string.h>

namespace platform {

void WipeMemory(void* data, std::size_t size) noexcept
{
    if (data != nullptr) {
        ::explicit_bzero(data, size);
    }
}

}  // namespace platform
