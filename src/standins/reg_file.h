#pragma once

#include <string>

#include "platform/registry.h"

namespace platform {

// Applies a registry script (reg_script.h) through the registry functions: a key line creates
// the key and makes it the one later value lines write into, a deleted key goes with its
// subkeys (one that is not there is no failure, as for the registry editor). Lines that cannot
// be applied are skipped, as are value lines after a key line that failed; the result is false
// when the header is missing or any line failed.
bool ImportRegText(Registry& registry, const std::wstring& text);

// The same for a file (DecodeRegFile). False also when the file cannot be read.
bool ImportRegFile(Registry& registry, const std::string& path);

}  // namespace platform
