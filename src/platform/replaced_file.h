#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace platform {

// Writing a whole file so that a reader sees either the old or the new content, never a part:
// the bytes go into a temporary file in the same folder, which then replaces the file in one step
// (MoveFileExW with MOVEFILE_REPLACE_EXISTING on Windows, rename on posix).
//
// The temporary file is always one this writer has just created: its name carries 64 random
// bits, and it is created exclusively (CREATE_NEW on Windows, O_CREAT | O_EXCL | O_NOFOLLOW on
// posix), so a file or link that another user planted at that name is never opened, written or
// followed; the writer takes another name instead.
class ReplacedFile {
public:
    virtual ~ReplacedFile() = default;
    // False when any step failed, with the reason in GetLastErrorCode(); the temporary file is
    // then removed and the file at `path` is left as it was.
    virtual bool Write(const std::wstring& path, const std::string& bytes) = 0;
    static ReplacedFile& System();

    // The system's writer, its temporary names' random parts taken from `nonces` instead of the
    // system's random source: tests plant files at the names it is going to try.
    static std::unique_ptr<ReplacedFile> WithNonces(std::function<std::uint64_t()> nonces);
};

// The temporary file beside `path` for the random value `nonce`: "<path>.<16 hex digits>.tmp".
// It does not end like `path`, so that a collector reading the folder's files of one extension
// never picks it up.
std::wstring TemporaryFileOf(const std::wstring& path, std::uint64_t nonce);

// How many characters TemporaryFileOf adds to the path.
inline constexpr std::size_t kTemporarySuffixChars = 1 + 16 + 4;

// How many names a write tries before it gives up: each one taken means a planted file or a
// collision of 64 random bits.
inline constexpr int kTemporaryNameAttempts = 8;

}  // namespace platform
