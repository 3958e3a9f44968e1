#include "platform/win32/dacl_access.h"

#include <algorithm>
#include <iterator>

namespace platform::win32 {
namespace {

bool IsAllUsersSid(PSID sid)
{
    static const WELL_KNOWN_SID_TYPE kAllUsers[] = {WinWorldSid, WinAuthenticatedUserSid,
                                                    WinBuiltinUsersSid};
    return std::any_of(std::begin(kAllUsers), std::end(kAllUsers), [sid](WELL_KNOWN_SID_TYPE type) {
        return IsWellKnownSid(sid, type) != FALSE;
    });
}

}  // namespace

bool DaclOpensToAllUsers(const ACL* dacl, ACCESS_MASK mask)
{
    if (dacl == nullptr) {
        return true;
    }
    ACCESS_MASK denied = 0;
    for (DWORD index = 0; index < dacl->AceCount; ++index) {
        void* entry = nullptr;
        if (!GetAce(const_cast<ACL*>(dacl), index, &entry)) {
            break;
        }
        const auto* header = static_cast<const ACE_HEADER*>(entry);
        if ((header->AceFlags & INHERIT_ONLY_ACE) != 0) {
            continue;
        }
        // Allowed and denied entries share their layout: header, mask, SID.
        auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(entry);
        if ((header->AceType != ACCESS_ALLOWED_ACE_TYPE &&
             header->AceType != ACCESS_DENIED_ACE_TYPE) ||
            !IsAllUsersSid(&allowed->SidStart)) {
            continue;
        }
        if (header->AceType == ACCESS_DENIED_ACE_TYPE) {
            denied |= allowed->Mask;
        } else if ((allowed->Mask & mask & ~denied) != 0) {
            return true;
        }
    }
    return false;
}

}  // namespace platform::win32
