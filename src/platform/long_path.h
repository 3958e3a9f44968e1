#pragma once

#include <cstddef>
#include <string>

namespace platform {

// Windows' file functions take a path of at most MAX_PATH (260) characters, its terminator
// included, unless it is in its extended-length form ("\\?\C:\..." or "\\?\UNC\server\...").
inline constexpr std::size_t kMaxPathChars = 260;

// The extended-length form of the full path `fullPath` (as GetFullPathNameW makes it): a drive
// path gains "\\?\", a UNC path "\\server\share\..." becomes "\\?\UNC\server\share\...", a
// device path "\\.\..." becomes "\\?\...", and one that already is in that form stays as it is.
std::wstring ExtendedLengthPath(const std::wstring& fullPath);

// The form in which the file functions are given `path`, whose full path is `fullPath`, so that
// both it and its temporary file (TemporaryFileOf) reach the file: `path` itself while the full
// path of the temporary file is shorter than MAX_PATH, else the extended-length form. The length
// that counts is the full path's: a short relative path in a deep current folder is long too.
std::wstring LongPathForm(const std::wstring& path, const std::wstring& fullPath);

}  // namespace platform
