#include "platform/replaced_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/last_error.h"
#include "platform/posix/native_path_posix.h"

namespace platform {
namespace {

unsigned long ErrorCodeOf(int error)
{
    switch (error) {
    case ENOENT:
        return kErrorPathNotFound;
    case ENOTDIR:
        return kErrorPathNotFound;
    default:
        return kErrorAccessDenied;
    }
}

bool WriteAll(int fd, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

class PosixReplacedFile final : public ReplacedFile {
public:
    bool Write(const std::wstring& path, const std::string& bytes) override
    {
        const std::string target = posix::NativePath(path);
        const std::string temporary = posix::NativePath(TemporaryFileOf(path));
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0) {
            SetLastErrorCode(ErrorCodeOf(errno));
            return false;
        }
        bool written = WriteAll(fd, bytes);
        int error = errno;
        if (::close(fd) != 0 && written) {
            written = false;
            error = errno;
        }
        if (written && ::rename(temporary.c_str(), target.c_str()) == 0) {
            return true;
        }
        if (written) {
            error = errno;
        }
        ::unlink(temporary.c_str());
        SetLastErrorCode(ErrorCodeOf(error));
        return false;
    }
};

}  // namespace

ReplacedFile& ReplacedFile::System()
{
    static PosixReplacedFile instance;
    return instance;
}

}  // namespace platform
