#pragma once

#include <cstddef>
#include <string>

namespace MBDataAquisition {

// Longest line a reader takes, in characters without the line end.
inline constexpr std::size_t kMaxLineChars = 254;

// Reading more than this from the end of a file to find its last usable line means the file
// holds no such line near its end.
inline constexpr std::size_t kMaxTailBytes = 1 << 20;

// The last line of a text file, without its line end ("\n" or "\r\n"), read from the end of the
// file so the cost does not depend on the file's size. A file ending in a line break ends with
// the line that break closes; a last line longer than kMaxLineChars is skipped for the line
// before it. Empty when the file cannot be opened, is empty, or has no usable line within
// kMaxTailBytes of its end. The file stays open to other readers and writers meanwhile.
std::string ReadLastLine(const std::wstring& p_strPath);

}  // namespace MBDataAquisition
