#include "platform/file_path.h"

namespace platform {

std::filesystem::path FileSystemPath(const std::wstring& windowsPath)
{
    return std::filesystem::path(windowsPath);
}

}  // namespace platform
