#pragma once

#include <windows.h>

namespace platform::win32 {

// Whether `dacl` allows Everyone, Authenticated Users or Users any right of `mask` on the object
// itself (entries that only pass rights on to children do not count), after the entries before
// it that deny them those rights. A null DACL allows everything.
bool DaclOpensToAllUsers(const ACL* dacl, ACCESS_MASK mask);

}  // namespace platform::win32
