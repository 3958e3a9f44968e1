#include "common/process_variable.h"

#include <cstdlib>

#include "platform/posix/native_path_posix.h"

namespace testing_support {

using platform::posix::FromNative;
using platform::posix::ToNative;

bool ReadProcessVariable(const std::wstring& name, std::wstring& value)
{
    const char* found = std::getenv(ToNative(name).c_str());
    if (found == nullptr) {
        return false;
    }
    value = FromNative(found);
    return true;
}

void WriteProcessVariable(const std::wstring& name, const std::wstring* value)
{
    if (value != nullptr) {
        ::setenv(ToNative(name).c_str(), ToNative(*value).c_str(), 1);
    } else {
        ::unsetenv(ToNative(name).c_str());
    }
}

}  // namespace testing_support
