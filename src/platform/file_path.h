#pragma once

#include <filesystem>
#include <string>

namespace platform {

// The path under which the standard library opens a file the monitor names by a Windows path
// ("c:\temp\Vexa.log"): unchanged on Windows; mapped as the posix substitutes map every path
// ("\" a separator, a leading drive letter dropped, names matched without case).
std::filesystem::path FileSystemPath(const std::wstring& windowsPath);

}  // namespace platform
