#include "platform/shared_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/last_error.h"
#include "platform/posix/native_path_posix.h"

namespace platform {

namespace {

class PosixReadableFile final : public ReadableFile {
public:
    explicit PosixReadableFile(int fd) : m_fd(fd) {}
    ~PosixReadableFile() override { ::close(m_fd); }
    PosixReadableFile(const PosixReadableFile&) = delete;
    PosixReadableFile& operator=(const PosixReadableFile&) = delete;

    std::uint64_t Size() override
    {
        struct stat status {};
        return ::fstat(m_fd, &status) == 0 ? static_cast<std::uint64_t>(status.st_size) : 0;
    }

    std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override
    {
        std::size_t done = 0;
        while (done < size) {
            const ssize_t got = ::pread(m_fd, static_cast<char*>(buffer) + done, size - done,
                                        static_cast<off_t>(offset + done));
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got <= 0) {
                break;
            }
            done += static_cast<std::size_t>(got);
        }
        return done;
    }

private:
    int m_fd;
};

class PosixSharedFile final : public SharedFile {
public:
    std::unique_ptr<ReadableFile> OpenForReading(const std::wstring& path) override
    {
        const std::string native = posix::NativePath(path);
        // Not blocking, so that a pipe in the file's place cannot hold up the reader.
        const int fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) {
            SetLastErrorCode(errno == ENOENT ? kErrorFileNotFound : kErrorAccessDenied);
            return nullptr;
        }
        struct stat status {};
        // A folder, pipe or device is no file to read (Windows refuses a folder likewise).
        if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
            ::close(fd);
            SetLastErrorCode(kErrorAccessDenied);
            return nullptr;
        }
        try {
            return std::make_unique<PosixReadableFile>(fd);
        } catch (...) {
            ::close(fd);
            throw;
        }
    }
};

}  // namespace

SharedFile& SharedFile::System()
{
    static PosixSharedFile instance;
    return instance;
}

}  // namespace platform
