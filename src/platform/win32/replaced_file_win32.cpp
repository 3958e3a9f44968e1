#include "platform/replaced_file.h"

#include <windows.h>
// After windows.h: RtlGenRandom (advapi32's SystemFunction036).
#include <ntsecapi.h>

#include <algorithm>
#include <string>
#include <utility>

#include "platform/long_path.h"

namespace platform {
namespace {

bool WriteAll(HANDLE file, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk =
            static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) {
            return false;
        }
        done += written;
    }
    return true;
}

// A reader that opened the file without FILE_SHARE_DELETE (a collector reading it just now) makes
// the replacement fail with a sharing violation or access denied until it closes the file: a few
// short retries ride that out, a lasting failure is reported.
constexpr int kMoveAttempts = 10;
constexpr DWORD kMoveRetryPause = 20;

bool MoveReplacing(const std::wstring& from, const std::wstring& to)
{
    for (int attempt = 1;; ++attempt) {
        if (MoveFileExW(from.c_str(), to.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return true;
        }
        const DWORD error = GetLastError();
        if (attempt == kMoveAttempts ||
            (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED)) {
            SetLastError(error);
            return false;
        }
        Sleep(kMoveRetryPause);
    }
}

// Paths of MAX_PATH characters or more reach the file system only in their extended-length
// form, which takes no relative parts: the full path is made first, and its length decides. A
// path that cannot be made full is left as it is, and the write reports the error.
std::wstring FileFunctionPath(const std::wstring& path)
{
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) {
        return path;
    }
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), needed, &full[0], nullptr);
    if (length == 0 || length >= needed) {
        return path;
    }
    full.resize(length);
    return LongPathForm(path, full);
}

// The system's cryptographic random source; advapi32 is loaded from the system folder.
std::uint64_t SystemNonce()
{
    std::uint64_t nonce = 0;
    if (!RtlGenRandom(&nonce, sizeof nonce)) {
        // Never seen; an exclusive create under a guessable name still cannot be planted, only
        // blocked, and the next write takes another name.
        nonce = GetTickCount64() ^ (static_cast<std::uint64_t>(GetCurrentThreadId()) << 32);
    }
    return nonce;
}

class Win32ReplacedFile final : public ReplacedFile {
public:
    explicit Win32ReplacedFile(std::function<std::uint64_t()> nonces) : m_nonces(std::move(nonces))
    {
    }

    bool Write(const std::wstring& given, const std::string& bytes) override
    {
        const std::wstring path = FileFunctionPath(given);
        std::wstring temporary;
        const HANDLE file = CreateTemporary(path, temporary);
        if (file == INVALID_HANDLE_VALUE) {
            return false;
        }
        const bool written = WriteAll(file, bytes);
        DWORD error = written ? ERROR_SUCCESS : GetLastError();
        const bool closed = CloseHandle(file) != FALSE;
        if (written && !closed) {
            error = GetLastError();
        }
        if (written && closed && MoveReplacing(temporary, path)) {
            return true;
        }
        if (written && closed) {
            error = GetLastError();
        }
        DeleteFileW(temporary.c_str());
        SetLastError(error);
        return false;
    }

private:
    // A new file under a name no one could know in advance. CREATE_NEW fails on any name that
    // exists, so a file planted there (or a link) is never opened; the next name is tried.
    HANDLE CreateTemporary(const std::wstring& path, std::wstring& temporary)
    {
        for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
            temporary = TemporaryFileOf(path, m_nonces());
            const HANDLE file =
                CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
            const DWORD error = GetLastError();
            if (file != INVALID_HANDLE_VALUE ||
                (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)) {
                return file;
            }
        }
        return INVALID_HANDLE_VALUE;
    }

    std::function<std::uint64_t()> m_nonces;
};

}  // namespace

ReplacedFile& ReplacedFile::System()
{
    static Win32ReplacedFile instance(SystemNonce);
    return instance;
}

std::unique_ptr<ReplacedFile> ReplacedFile::WithNonces(std::function<std::uint64_t()> nonces)
{
    return std::make_unique<Win32ReplacedFile>(std::move(nonces));
}

}  // namespace platform
