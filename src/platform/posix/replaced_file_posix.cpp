#include "platform/replaced_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <random>
#include <utility>

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
    case EEXIST:
        return kErrorAlreadyExists;
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

// std::random_device reads the kernel's random source (getrandom) on Linux.
std::uint64_t SystemNonce()
{
    std::random_device source;
    return (static_cast<std::uint64_t>(source()) << 32) ^ source();
}

class PosixReplacedFile final : public ReplacedFile {
public:
    explicit PosixReplacedFile(std::function<std::uint64_t()> nonces) : m_nonces(std::move(nonces))
    {
    }

    bool Write(const std::wstring& path, const std::string& bytes) override
    {
        const std::string target = posix::NativePath(path);
        std::string temporary;
        const int fd = CreateTemporary(path, temporary);
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

private:
    // A new file under a name no one could know in advance. O_EXCL fails on any name that
    // exists, a symbolic link included (dangling or not), so a planted name is passed over.
    int CreateTemporary(const std::wstring& path, std::string& temporary)
    {
        for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
            temporary = posix::NativePath(TemporaryFileOf(path, m_nonces()));
            const int fd = ::open(temporary.c_str(),
                                  O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
            if (fd >= 0 || errno != EEXIST) {
                return fd;
            }
        }
        errno = EEXIST;
        return -1;
    }

    std::function<std::uint64_t()> m_nonces;
};

}  // namespace

ReplacedFile& ReplacedFile::System()
{
    static PosixReplacedFile instance(SystemNonce);
    return instance;
}

std::unique_ptr<ReplacedFile> ReplacedFile::WithNonces(std::function<std::uint64_t()> nonces)
{
    return std::make_unique<PosixReplacedFile>(std::move(nonces));
}

}  // namespace platform
