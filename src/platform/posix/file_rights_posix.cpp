#include "platform/file_rights.h"

#include <sys/stat.h>

#include "platform/posix/native_path_posix.h"

namespace platform {
namespace {

class PosixFileRights final : public FileRights {
public:
    bool OpenToAllUsers(const std::wstring& path, Access access) override
    {
        struct stat status {};
        if (::stat(posix::NativePath(path).c_str(), &status) != 0) {
            return false;
        }
        return (status.st_mode & (access == Access::kWrite ? S_IWOTH : S_IROTH)) != 0;
    }
};

}  // namespace

FileRights& FileRights::System()
{
    static PosixFileRights instance;
    return instance;
}

}  // namespace platform
