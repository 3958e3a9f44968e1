#pragma once

#include <string>

namespace testing_support {

// The test process's own environment, changed directly (the platform family only reads it).
// False when the variable does not exist.
bool ReadProcessVariable(const std::wstring& name, std::wstring& value);
// Sets the variable, or with nothing, removes it.
void WriteProcessVariable(const std::wstring& name, const std::wstring* value);

}  // namespace testing_support
