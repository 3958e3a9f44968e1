#include "platform/file_system.h"

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <vector>

#include "platform/posix/native_path_posix.h"

namespace platform {
namespace {

// "c:\" (any drive letter, as paths drop it) is the root folder; "\\server\share\" is the
// folder of that path.
bool IsDriveRoot(const std::wstring& root)
{
    const bool letter =
        root.size() == 3 && root[1] == L':' && root[2] == L'\\' &&
        ((root[0] >= L'a' && root[0] <= L'z') || (root[0] >= L'A' && root[0] <= L'Z'));
    const bool share = root.size() > 4 && root.compare(0, 2, L"\\\\") == 0 && root.back() == L'\\';
    return letter || share;
}

class PosixFileSystem final : public FileSystem {
public:
    std::wstring ModulePath(std::size_t maxChars) override
    {
        // The monitor is linked statically into the executable that runs it.
        std::vector<char> buffer(4096);
        const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length <= 0 || static_cast<std::size_t>(length) >= buffer.size()) {
            return {};
        }
        const std::wstring path =
            posix::FromNative(std::string(buffer.data(), static_cast<std::size_t>(length)));
        return path.substr(0, maxChars);
    }

    bool FindEntry(const std::wstring& path) override
    {
        const std::string native = posix::NativePath(path);
        struct stat info {};
        return !native.empty() && ::stat(native.c_str(), &info) == 0;
    }

    bool DriveReady(const std::wstring& root) override
    {
        if (!IsDriveRoot(root)) {
            return false;
        }
        const std::string native = root.size() == 3 ? std::string("/") : posix::NativePath(root);
        struct statvfs info {};
        return ::statvfs(native.c_str(), &info) == 0 && info.f_blocks > 0;
    }
};

}  // namespace

FileSystem& FileSystem::System()
{
    static PosixFileSystem s_fileSystem;
    return s_fileSystem;
}

}  // namespace platform
