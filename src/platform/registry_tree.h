#pragma once

#include <cstdint>
#include <string>

#include "platform/registry.h"

namespace platform {

// Deletes `subKey` of `parent` with all its subkeys, deepest first, since the registry functions
// delete only keys without subkeys. Stops at the first key that cannot be opened or deleted and
// returns that call's error code; 0 when the whole tree is gone. Throws std::bad_alloc when a
// name buffer cannot be allocated (every key it opened is closed again).
std::int32_t DeleteRegTree(Registry& registry, RegKey parent, const std::wstring& subKey);

}  // namespace platform
