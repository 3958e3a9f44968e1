#include "platform/file_path.h"

#include "platform/posix/native_path_posix.h"

namespace platform {

std::filesystem::path FileSystemPath(const std::wstring& windowsPath)
{
    return std::filesystem::path(posix::NativePath(windowsPath));
}

}  // namespace platform
