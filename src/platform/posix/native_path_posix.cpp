#include "platform/posix/native_path_posix.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cstdint>
#include <memory>

#include "platform/text.h"

namespace platform::posix {
namespace {

constexpr std::uint32_t kEscapeBase = 0xDC00;

bool Exists(const std::string& path)
{
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

// An entry of `folder` named `name` without regard to case, or empty.
std::string FindInOtherCase(const std::string& folder, const std::string& name)
{
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.empty() ? "/" : folder.c_str()),
                                            ::closedir);
    if (!dir) {
        return {};
    }
    const std::wstring wanted = FromNative(name);
    while (const dirent* entry = ::readdir(dir.get())) {
        if (EqualNoCase(FromNative(entry->d_name), wanted)) {
            return entry->d_name;
        }
    }
    return {};
}

// Walks the path component by component and replaces the ones missing as written by their
// match in another case. Called only when the path as written does not exist.
std::string ResolveCase(const std::string& path)
{
    std::string resolved;
    std::size_t pos = 0;
    if (!path.empty() && path[0] == '/') {
        pos = 1;
    }
    resolved = path.substr(0, pos);
    bool missing = false;
    while (pos <= path.size()) {
        const std::size_t slash = path.find('/', pos);
        const std::size_t end = slash == std::string::npos ? path.size() : slash;
        std::string name = path.substr(pos, end - pos);
        const std::string folder = resolved.empty() ? "." : resolved;
        if (!missing && !name.empty() && name != "." && name != ".." && !Exists(resolved + name)) {
            const std::string other = FindInOtherCase(folder, name);
            if (other.empty()) {
                missing = true;
            } else {
                name = other;
            }
        }
        resolved += name;
        if (slash == std::string::npos) {
            break;
        }
        resolved += '/';
        pos = slash + 1;
    }
    return resolved;
}

}  // namespace

std::wstring FromNative(const std::string& bytes)
{
    std::wstring result;
    result.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const Utf8Char next = DecodeUtf8(bytes, i);
        if (next.length == 0) {
            result.push_back(
                static_cast<wchar_t>(kEscapeBase + static_cast<unsigned char>(bytes[i])));
            ++i;
        } else {
            result.push_back(static_cast<wchar_t>(next.code));
            i += next.length;
        }
    }
    return result;
}

std::string ToNative(const std::wstring& text)
{
    std::string result;
    result.reserve(text.size());
    for (wchar_t c : text) {
        const auto code = static_cast<std::uint32_t>(c);
        if (code >= kEscapeBase + 0x80 && code <= kEscapeBase + 0xFF) {
            result.push_back(static_cast<char>(code - kEscapeBase));
        } else {
            AppendUtf8(result, code);
        }
    }
    return result;
}

std::string NativePath(const std::wstring& windowsPath)
{
    std::wstring path(windowsPath);
    for (wchar_t& c : path) {
        if (c == L'\\') {
            c = L'/';
        }
    }
    if (path.size() >= 2 && path[1] == L':' &&
        ((path[0] >= L'a' && path[0] <= L'z') || (path[0] >= L'A' && path[0] <= L'Z'))) {
        path.erase(0, 2);
    }
    std::string native = ToNative(path);
    if (native.empty() || Exists(native)) {
        return native;
    }
    return ResolveCase(native);
}

std::string ParentFolder(const std::string& nativePath)
{
    const std::size_t slash = nativePath.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : nativePath.substr(0, slash);
}

}  // namespace platform::posix
