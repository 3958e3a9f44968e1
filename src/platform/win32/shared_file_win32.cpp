#include "platform/shared_file.h"

#include <windows.h>

#include <algorithm>
#include <utility>

#include "platform/win32/unique_resource.h"

namespace platform {

namespace {

class Win32ReadableFile final : public ReadableFile {
public:
    explicit Win32ReadableFile(win32::UniqueHandle file) : m_hFile(std::move(file)) {}

    std::uint64_t Size() override
    {
        LARGE_INTEGER size{};
        return GetFileSizeEx(m_hFile.Get(), &size) ? static_cast<std::uint64_t>(size.QuadPart) : 0;
    }

    std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override
    {
        std::size_t done = 0;
        while (done < size) {
            OVERLAPPED position{};
            const std::uint64_t at = offset + done;
            position.Offset = static_cast<DWORD>(at);
            position.OffsetHigh = static_cast<DWORD>(at >> 32);
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 30));
            DWORD got = 0;
            if (!ReadFile(m_hFile.Get(), static_cast<char*>(buffer) + done, chunk, &got,
                          &position) ||
                got == 0) {
                break;
            }
            done += got;
        }
        return done;
    }

private:
    win32::UniqueHandle m_hFile;
};

// Should the path lead to a named pipe after all (a share's server can answer with one), its
// server may identify the caller but not act as it.
constexpr DWORD kNoImpersonation = SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION;

class Win32SharedFile final : public SharedFile {
public:
    std::unique_ptr<ReadableFile> OpenForReading(const std::wstring& path) override
    {
        win32::UniqueHandle file(CreateFileW(
            path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | kNoImpersonation, nullptr));
        if (!file) {
            return nullptr;
        }
        return std::make_unique<Win32ReadableFile>(std::move(file));
    }
};

}  // namespace

SharedFile& SharedFile::System()
{
    static Win32SharedFile instance;
    return instance;
}

}  // namespace platform
