#include "platform/profile.h"
#include "platform/profile_integer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <optional>

#include "platform/last_error.h"
#include "platform/ini_text.h"
#include "platform/posix/native_path_posix.h"

namespace platform {
namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int descriptor) : m_nDescriptor(descriptor) {}
    ~FileDescriptor()
    {
        if (m_nDescriptor >= 0) {
            ::close(m_nDescriptor);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return m_nDescriptor; }

private:
    int m_nDescriptor;
};

unsigned long ErrorOf(int error)
{
    switch (error) {
    case ENOENT:
        return kErrorFileNotFound;
    case ENOTDIR:
        return kErrorPathNotFound;
    default:
        return kErrorAccessDenied;
    }
}

// The file's bytes, or nothing with the reason set as last error.
std::optional<std::string> ReadFile(const std::string& path)
{
    if (path.empty()) {
        SetLastErrorCode(kErrorAccessDenied);
        return std::nullopt;
    }
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat info {};
    if (file.Get() < 0 || ::fstat(file.Get(), &info) != 0) {
        SetLastErrorCode(ErrorOf(errno));
        return std::nullopt;
    }
    // A folder, pipe or device is no settings file (and a pipe could block the reader).
    if (!S_ISREG(info.st_mode)) {
        SetLastErrorCode(kErrorAccessDenied);
        return std::nullopt;
    }
    std::string bytes;
    char chunk[8192];
    for (;;) {
        const ssize_t count = ::read(file.Get(), chunk, sizeof chunk);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            SetLastErrorCode(kErrorAccessDenied);
            return std::nullopt;
        }
        if (count == 0) {
            break;
        }
        bytes.append(chunk, static_cast<std::size_t>(count));
    }
    SetLastErrorCode(kErrorSuccess);
    return bytes;
}

bool WriteFile(const std::string& path, const std::string& bytes)
{
    const FileDescriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (file.Get() < 0) {
        const int error = errno;
        // A missing folder is "path not found", as Windows reports it.
        SetLastErrorCode(error == ENOENT || error == ENOTDIR ? kErrorPathNotFound
                                                             : kErrorAccessDenied);
        return false;
    }
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t count = ::write(file.Get(), bytes.data() + written, bytes.size() - written);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            SetLastErrorCode(kErrorAccessDenied);
            return false;
        }
        written += static_cast<std::size_t>(count);
    }
    SetLastErrorCode(kErrorSuccess);
    return true;
}

// A default value loses its trailing spaces (not its first character).
std::wstring TrimDefault(const std::wstring& value)
{
    std::size_t end = value.size();
    while (end > 1 && value[end - 1] == L' ') {
        --end;
    }
    return value.substr(0, end);
}

// Copies a value into a buffer of `bufferChars` characters the way Windows does: a value that
// starts and ends with the same quote loses both quotes; the closing one is dropped only when
// the buffer could hold it, so a value cut short keeps one character less than it could.
std::wstring CopyEntry(const std::wstring& value, std::size_t bufferChars)
{
    std::wstring text = value;
    bool quoted = false;
    if (text.size() >= 2 && (text[0] == L'\'' || text[0] == L'"') && text.back() == text[0]) {
        quoted = true;
        text.erase(0, 1);
    }
    std::wstring result = text.substr(0, bufferChars - 1);
    if (quoted && bufferChars >= text.size() && !result.empty()) {
        result.pop_back();
    }
    return result;
}

class PosixProfile final : public Profile {
public:
    std::wstring GetString(const std::wstring& section, const std::wstring& key,
                           const std::wstring& defaultValue, std::size_t bufferChars,
                           const std::wstring& file) override
    {
        if (bufferChars == 0) {
            return {};
        }
        const std::wstring fallback = TrimDefault(defaultValue);
        const std::optional<std::string> bytes = ReadFile(posix::NativePath(file));
        if (!bytes) {
            return CopyEntry(fallback, bufferChars);
        }
        const std::optional<std::wstring> value = IniText(*bytes).Find(section, key);
        SetLastErrorCode(kErrorSuccess);
        return CopyEntry(value ? *value : fallback, bufferChars);
    }

    unsigned int GetInt(const std::wstring& section, const std::wstring& key, int defaultValue,
                        const std::wstring& file) override
    {
        // The system reads the value through a buffer of 30 characters.
        const std::wstring text = GetString(section, key, L"", 30, file);
        if (text.empty()) {
            return static_cast<unsigned int>(defaultValue);
        }
        return ParseProfileInteger(text).Unsigned();
    }

    bool WriteString(const std::wstring& section, const std::wstring& key,
                     const std::wstring& value, const std::wstring& file) override
    {
        return Edit(file, [&](IniText& text) { text.Set(section, key, value); });
    }

    bool WriteSection(const std::wstring& section, const Entries& entries,
                      const std::wstring& file) override
    {
        return Edit(file, [&](IniText& text) { text.SetSection(section, entries); });
    }

    bool WriteWhole(const Writes& writes, const std::wstring& file) override
    {
        return WriteProfileWhole(writes, file);
    }

private:
    // Reads the file (a missing one is empty), changes its text and writes it back once.
    template <class Change>
    bool Edit(const std::wstring& file, Change change)
    {
        const std::string path = posix::NativePath(file);
        if (path.empty()) {
            SetLastErrorCode(kErrorAccessDenied);
            return false;
        }
        std::optional<std::string> bytes = ReadFile(path);
        if (!bytes) {
            if (GetLastErrorCode() != kErrorFileNotFound) {
                return false;
            }
            bytes.emplace();
        }
        IniText text(std::move(*bytes));
        change(text);
        return WriteFile(path, text.Bytes());
    }
};

}  // namespace

Profile& Profile::System()
{
    static PosixProfile s_profile;
    return s_profile;
}

}  // namespace platform
