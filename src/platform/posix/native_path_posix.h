#pragma once

#include <string>

// How the posix substitutes reach the file system and the environment with Windows-style text.
namespace platform::posix {

// Native (UTF-8) bytes of wide text. Bytes that are not valid UTF-8 travel as U+DC80..U+DCFF,
// so FromNative and ToNative give back the original bytes.
std::wstring FromNative(const std::string& bytes);
std::string ToNative(const std::wstring& text);

// The native path of a Windows path: "\" is a separator and a leading drive letter is dropped
// ("c:\temp\x.ini" is "/temp/x.ini"). As on Windows, names match without regard to case: a
// component that does not exist as written is replaced by an entry of the same name in another
// case when its folder holds one. A name without folder stays relative to the working directory:
// Windows would look for it in the Windows directory, which the posix platform does not have.
std::string NativePath(const std::wstring& windowsPath);

// The folder part of a native path ("." when it has none).
std::string ParentFolder(const std::string& nativePath);

}  // namespace platform::posix
