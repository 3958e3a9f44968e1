#pragma once

#include <string>

// Settings files and path resolution. Paths are Windows paths; the posix platform maps them.
// None of these functions logs or throws.

// Resolves the first %VARIABLE% reference of `path`; `fallback` when the variable is not set.
std::wstring ResolvePath(const std::wstring& path, const std::wstring& fallback);

// "%COMPUTER_INI%", falling back to "c:\Computer.ini"; computed anew on every call.
std::wstring GetComputerIniPath();

// The add-on's own settings file: the path a host named (UseModuleIniPath), or else the module's
// own path, upper-cased, ".EXE"/".DLL" replaced by ".INI", kept after the first call.
std::wstring GetModuleIniPath();

// Names the add-on's own settings file, used exactly as given, in place of the one derived from
// the module's path (vexa-host's --module-ini); an empty path returns to the derived one.
void UseModuleIniPath(const std::wstring& path);

// Text read: empty default, at most 259 characters.
std::wstring ReadIniString(const std::wstring& section, const std::wstring& key,
                           const std::wstring& file);

// Integer read through the platform's integer rule.
unsigned int ReadIniInt(const std::wstring& section, const std::wstring& key, int defaultValue,
                        const std::wstring& file);

// "Fan" for 0, "Fan1" for 1, ...
std::wstring NumberedName(const std::wstring& name, int n);

// Whether a file or directory exists at `path`, or `path` is the root of a ready drive.
bool PathExists(const std::wstring& path);
