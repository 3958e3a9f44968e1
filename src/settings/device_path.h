#pragma once

#include <string>

// What a path from the settings names when it is no plain file: L"a named pipe" (whose server
// could impersonate a client that opens it, or feed it anything), L"a device" (the device
// namespace "\\.\", a "\\?\" or "\??\" path that names no drive, volume or share, such as
// "\\?\GLOBALROOT", or a reserved DOS device name such as COM1 or
// NUL.prom as its last part); empty for a file path. UNC paths to a share stay file paths;
// "\\server\pipe\..." is a named pipe. Slashes count as backslashes, letter case does not count.
std::wstring DeviceKindOf(const std::wstring& path);
