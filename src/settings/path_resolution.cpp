#include <mutex>
#include <optional>

#include "platform/environment.h"
#include "platform/file_system.h"
#include "platform/seam.h"
#include "platform/text.h"
#include "settings/module_ini_path.h"
#include "settings/settings.h"

namespace {

constexpr wchar_t kComputerIniFallback[] = L"c:\\Computer.ini";
constexpr std::size_t kMaxModulePath = 260;

// Replaces every occurrence of `token` and continues after each replacement, so a value that
// holds the token itself is not expanded again.
void ReplaceAll(std::wstring& text, const std::wstring& token, const std::wstring& replacement)
{
    std::size_t pos = text.find(token);
    while (pos != std::wstring::npos) {
        text.replace(pos, token.size(), replacement);
        pos = text.find(token, pos + replacement.size());
    }
}

bool IsLetter(wchar_t c)
{
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

// "c:\" or "\\server\share\".
bool IsDriveRoot(const std::wstring& path)
{
    if (path.size() == 3 && IsLetter(path[0]) && path[1] == L':' && path[2] == L'\\') {
        return true;
    }
    if (path.size() < 6 || path.compare(0, 2, L"\\\\") != 0 || path.back() != L'\\') {
        return false;
    }
    const std::size_t separator = path.find(L'\\', 2);
    return separator > 2 && separator + 2 < path.size() &&
           path.find(L'\\', separator + 1) == path.size() - 1;
}

}  // namespace

std::wstring ResolvePath(const std::wstring& path, const std::wstring& fallback)
{
    const std::size_t first = path.find(L'%');
    const std::size_t second = first == std::wstring::npos ? first : path.find(L'%', first + 1);
    if (second == std::wstring::npos) {
        return path;
    }
    const std::wstring token = path.substr(first, second - first + 1);
    const std::wstring name = token.substr(1, token.size() - 2);
    const std::optional<std::wstring> value = platform::Use<platform::Environment>().Get(name);
    if (!value) {
        return fallback;
    }
    std::wstring resolved(path);
    ReplaceAll(resolved, token, *value);
    return resolved;
}

std::wstring GetComputerIniPath()
{
    try {
        return ResolvePath(L"%COMPUTER_INI%", kComputerIniFallback);
    } catch (...) {
        return kComputerIniFallback;
    }
}

std::wstring ModuleIniPathOf(const std::wstring& modulePath)
{
    std::wstring path = platform::UpperCase(modulePath);
    ReplaceAll(path, L".EXE", L".INI");
    ReplaceAll(path, L".DLL", L".INI");
    return path;
}

namespace {

// The derived path is kept for the life of the module; built again while it is empty, as when
// the module path could not be read. The lock makes a first use from two threads harmless.
struct ModuleIniPaths {
    std::mutex mutex;
    std::wstring derived;
    std::wstring given;
};

ModuleIniPaths& ModuleIni()
{
    static ModuleIniPaths s_paths;
    return s_paths;
}

}  // namespace

std::wstring GetModuleIniPath()
{
    ModuleIniPaths& paths = ModuleIni();
    const std::lock_guard<std::mutex> lock(paths.mutex);
    if (!paths.given.empty()) {
        return paths.given;
    }
    if (paths.derived.empty()) {
        paths.derived =
            ModuleIniPathOf(platform::Use<platform::FileSystem>().ModulePath(kMaxModulePath));
    }
    return paths.derived;
}

bool UseModuleIniPath(const std::wstring& path) noexcept
{
    try {
        // Copied before the lock, so that the swap under it cannot fail.
        std::wstring copy(path);
        ModuleIniPaths& paths = ModuleIni();
        const std::lock_guard<std::mutex> lock(paths.mutex);
        paths.given.swap(copy);
        return true;
    } catch (...) {
        return false;
    }
}

std::wstring NumberedName(const std::wstring& name, int n)
{
    return n == 0 ? name : name + std::to_wstring(n);
}

bool PathExists(const std::wstring& path)
{
    if (path.empty()) {
        return false;
    }
    std::wstring copy;
    copy.reserve(path.size());
    for (wchar_t c : path) {
        if (c != L'"') {
            copy.push_back(c);
        }
    }
    copy.erase(0, copy.find_first_not_of(L" \t\r\n\v\f"));
    platform::FileSystem& fileSystem = platform::Use<platform::FileSystem>();
    if (IsDriveRoot(copy) && fileSystem.DriveReady(copy)) {
        return true;
    }
    if (!copy.empty() && copy.back() == L'\\') {
        copy.pop_back();
    }
    return fileSystem.FindEntry(copy);
}

std::wstring GetServicePackIniPath()
{
    return ResolvePath(L"%SERVICEPACKDIR%\\InstallSP.ini", L"c:\\Servicepacks\\InstallSP.ini");
}

std::wstring GetCredentialsFilePath()
{
    return ResolvePath(L"%MAINDIR%\\Computer.xml", L"c:\\Computer.xml");
}
