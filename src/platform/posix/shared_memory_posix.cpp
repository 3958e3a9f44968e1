#include "platform/shared_memory.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>

#include "platform/last_error.h"

namespace platform {

namespace {

// Handles are tokens for open descriptors; views are remembered with their lengths for munmap.
struct Descriptor {
    int fd = -1;
    bool mapping = false;
    std::size_t size = 0;
    ~Descriptor()
    {
        if (fd >= 0) {
            ::close(fd);
        }
    }
};

unsigned long ErrorFromErrno(int error)
{
    switch (error) {
    case ENOENT:
        return kErrorPathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return kErrorAccessDenied;
    default:
        return kErrorInvalidParameter;
    }
}

class PosixSharedMemory final : public SharedMemory {
public:
    Handle OpenFile(const std::wstring& path) override
    {
        const int fd = OpenReadWrite(path);
        if (fd < 0) {
            SetLastErrorCode(ErrorFromErrno(errno));
            return kInvalidHandle;
        }
        auto descriptor = std::make_unique<Descriptor>();
        descriptor->fd = fd;
        return Register(std::move(descriptor));
    }

    Handle CreateMapping(Handle /*file*/, const std::wstring& name, std::uint32_t size) override
    {
        // The named file in the working directory is the mapping, so separate processes that
        // open the same name share it; the file handle of Windows' fallback is not needed.
        auto descriptor = std::make_unique<Descriptor>();
        descriptor->fd =
            name.empty() ? ::memfd_create("unnamed mapping", MFD_CLOEXEC) : OpenReadWrite(name);
        struct stat status {};
        if (descriptor->fd < 0 || ::fstat(descriptor->fd, &status) != 0) {
            SetLastErrorCode(ErrorFromErrno(errno));
            return kNullHandle;
        }
        const auto existing = static_cast<std::size_t>(status.st_size);
        if (size == 0 && existing == 0) {
            SetLastErrorCode(kErrorFileInvalid);
            return kNullHandle;
        }
        if (existing < size && ::ftruncate(descriptor->fd, static_cast<off_t>(size)) != 0) {
            SetLastErrorCode(ErrorFromErrno(errno));
            return kNullHandle;
        }
        descriptor->mapping = true;
        descriptor->size = existing < size ? size : existing;
        return Register(std::move(descriptor));
    }

    Handle OpenMapping(const std::wstring& name) override
    {
        auto descriptor = std::make_unique<Descriptor>();
        const std::filesystem::path native(name);
        descriptor->fd = ::open(native.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        struct stat status {};
        if (descriptor->fd < 0 || ::fstat(descriptor->fd, &status) != 0) {
            SetLastErrorCode(errno == ENOENT ? kErrorFileNotFound : ErrorFromErrno(errno));
            return kNullHandle;
        }
        if (!S_ISREG(status.st_mode) || status.st_size == 0) {
            SetLastErrorCode(kErrorFileInvalid);
            return kNullHandle;
        }
        descriptor->mapping = true;
        descriptor->size = static_cast<std::size_t>(status.st_size);
        return Register(std::move(descriptor));
    }

    void* MapView(Handle mapping, std::size_t size, bool writable) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto found = m_descriptors.find(mapping);
        if (found == m_descriptors.end() || !found->second->mapping) {
            SetLastErrorCode(kErrorInvalidHandle);
            return nullptr;
        }
        const Descriptor& descriptor = *found->second;
        const std::size_t length = size == 0 ? descriptor.size : size;
        if (length > descriptor.size) {
            SetLastErrorCode(kErrorAccessDenied);
            return nullptr;
        }
        void* view =
            writable ? ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_SHARED, descriptor.fd, 0)
                     : CopyOf(descriptor.fd, length);
        if (view == MAP_FAILED) {
            SetLastErrorCode(ErrorFromErrno(errno));
            return nullptr;
        }
        m_views[view] = length;
        return view;
    }

    void UnmapView(void* view) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto found = m_views.find(view);
        if (found == m_views.end()) {
            SetLastErrorCode(kErrorInvalidParameter);
            return;
        }
        ::munmap(found->first, found->second);
        m_views.erase(found);
    }

    bool Close(Handle handle) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_descriptors.erase(handle) == 0) {
            SetLastErrorCode(kErrorInvalidHandle);
            return false;
        }
        return true;
    }

private:
    // A read-only view is a copy of the file's first `length` bytes as they are now, in memory of
    // its own: another process may shorten the file at any time (a writer that rewrites it), and
    // reading a shared mapping past the file's new end would kill this process with SIGBUS.
    // Bytes past the file's end read as zero. MAP_FAILED with errno on failure.
    static void* CopyOf(int fd, std::size_t length)
    {
        void* copy =
            ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (copy == MAP_FAILED) {
            return MAP_FAILED;
        }
        auto* bytes = static_cast<char*>(copy);
        std::size_t done = 0;
        while (done < length) {
            const ssize_t got = ::pread(fd, bytes + done, length - done, static_cast<off_t>(done));
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got < 0) {
                const int error = errno;
                ::munmap(copy, length);
                errno = error;
                return MAP_FAILED;
            }
            if (got == 0) {
                break;
            }
            done += static_cast<std::size_t>(got);
        }
        ::mprotect(copy, length, PROT_READ);
        return copy;
    }

    static int OpenReadWrite(const std::wstring& path)
    {
        const std::filesystem::path native(path);
        return ::open(native.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    }

    Handle Register(std::unique_ptr<Descriptor> descriptor)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const Handle handle = m_nextHandle++;
        m_descriptors.emplace(handle, std::move(descriptor));
        return handle;
    }

    std::mutex m_mutex;
    // Tokens start high and only grow, so a stale or forged value is never mistaken for a live
    // handle of another open.
    Handle m_nextHandle = 0x10000;
    std::map<Handle, std::unique_ptr<Descriptor>> m_descriptors;
    std::map<void*, std::size_t> m_views;
};

}  // namespace

SharedMemory& SharedMemory::System()
{
    static PosixSharedMemory instance;
    return instance;
}

}  // namespace platform
