#pragma once

#include <cstdint>
#include <string>

// Settings files and path resolution. Paths are Windows paths; the posix platform maps them.
// None of these functions logs. None throws, except std::bad_alloc from one that returns text
// when there is no memory for that text.

// Resolves the first %VARIABLE% reference of `path`; `fallback` when the variable is not set.
std::wstring ResolvePath(const std::wstring& path, const std::wstring& fallback);

// "%COMPUTER_INI%", falling back to "c:\Computer.ini"; computed anew on every call.
std::wstring GetComputerIniPath();

// "%SERVICEPACKDIR%\InstallSP.ini", falling back to "c:\Servicepacks\InstallSP.ini".
std::wstring GetServicePackIniPath();

// The credentials file: "%MAINDIR%\Computer.xml", falling back to "c:\Computer.xml".
std::wstring GetCredentialsFilePath();

// The add-on's own settings file: the path a host named (UseModuleIniPath), or else the module's
// own path, upper-cased, ".EXE"/".DLL" replaced by ".INI", kept after the first call.
std::wstring GetModuleIniPath();

// Names the add-on's own settings file, used exactly as given, in place of the one derived from
// the module's path (vexa-host's --module-ini); an empty path returns to the derived one. False,
// with the earlier choice kept, when the copy of the path or the lock could not be had.
bool UseModuleIniPath(const std::wstring& path) noexcept;

// Text read: empty default, at most 259 characters.
std::wstring ReadIniString(const std::wstring& section, const std::wstring& key,
                           const std::wstring& file);

// Integer read through the platform's integer rule.
unsigned int ReadIniInt(const std::wstring& section, const std::wstring& key, int defaultValue,
                        const std::wstring& file);

// Integer read by the same rule, but with the sign and size its text says instead of modulo 2^32
// ("3000000000" stays 3000000000, "-1" is -1); magnitudes past 2^62 give 2^62. For settings
// whose too-large values must not wrap into small ones.
std::int64_t ReadIniSignedInt(const std::wstring& section, const std::wstring& key,
                              std::int64_t defaultValue, const std::wstring& file);

// "Fan" for 0, "Fan1" for 1, ...
std::wstring NumberedName(const std::wstring& name, int n);

// Whether a file or directory exists at `path`, or `path` is the root of a ready drive.
bool PathExists(const std::wstring& path);
