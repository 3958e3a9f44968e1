#include "platform/file_rights.h"

#include <windows.h>
// After windows.h.
#include <aclapi.h>

#include "platform/win32/dacl_access.h"

namespace platform {
namespace {

// Rights that let a user put a file of theirs in the object's place or change what it holds.
constexpr ACCESS_MASK kFolderWrite =
    FILE_ADD_FILE | FILE_DELETE_CHILD | WRITE_DAC | WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;
constexpr ACCESS_MASK kFileWrite =
    FILE_WRITE_DATA | FILE_APPEND_DATA | WRITE_DAC | WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;
constexpr ACCESS_MASK kRead = FILE_READ_DATA | GENERIC_READ | GENERIC_ALL;

class Win32FileRights final : public FileRights {
public:
    bool OpenToAllUsers(const std::wstring& path, Access access) override
    {
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            return false;
        }
        PACL dacl = nullptr;
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        if (GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                  nullptr, &dacl, nullptr, &descriptor) != ERROR_SUCCESS) {
            return false;
        }
        const ACCESS_MASK mask = access == Access::kRead                        ? kRead
                                 : (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? kFolderWrite
                                                                                : kFileWrite;
        const bool open = win32::DaclOpensToAllUsers(dacl, mask);
        LocalFree(descriptor);
        return open;
    }
};

}  // namespace

FileRights& FileRights::System()
{
    static Win32FileRights instance;
    return instance;
}

}  // namespace platform
