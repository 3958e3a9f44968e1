#include "settings/device_path.h"

#include <algorithm>
#include <cwctype>

namespace {

std::wstring Normalised(const std::wstring& path)
{
    std::wstring text = path;
    for (wchar_t& c : text) {
        c = c == L'/' ? L'\\' : static_cast<wchar_t>(std::towupper(c));
    }
    return text;
}

bool StartsWith(const std::wstring& text, const std::wstring& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

// "\\server\pipe\..." after the prefix "\\" or "\\?\UNC\" is a pipe on that server.
bool IsUncPipe(const std::wstring& text)
{
    std::size_t server = 0;
    if (StartsWith(text, L"\\\\?\\UNC\\")) {
        server = 8;
    } else if (StartsWith(text, L"\\\\") && !StartsWith(text, L"\\\\?\\")) {
        server = 2;
    } else {
        return false;
    }
    const std::size_t share = text.find(L'\\', server);
    return share != std::wstring::npos && text.compare(share + 1, 5, L"PIPE\\") == 0;
}

// The names Windows keeps for devices in every folder, also with an extension ("NUL.prom").
bool IsReservedName(const std::wstring& text)
{
    const std::size_t slash = text.find_last_of(L"\\:");
    std::wstring base = text.substr(slash == std::wstring::npos ? 0 : slash + 1);
    base = base.substr(0, base.find(L'.'));
    while (!base.empty() && base.back() == L' ') {
        base.pop_back();
    }
    static const wchar_t* const kNames[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    if (std::any_of(std::begin(kNames), std::end(kNames),
                    [&base](const wchar_t* name) { return base == name; })) {
        return true;
    }
    return base.size() == 4 && (StartsWith(base, L"COM") || StartsWith(base, L"LPT")) &&
           base[3] >= L'1' && base[3] <= L'9';
}

}  // namespace

std::wstring DeviceKindOf(const std::wstring& path)
{
    const std::wstring text = Normalised(path);
    const bool device = StartsWith(text, L"\\\\.\\");
    // "\\?\" and "\??\" hand the rest to the object manager as it is: a drive, a volume or
    // a share there is a file path, anything else (GLOBALROOT, PhysicalDrive0, COM1) a device.
    const bool verbatim = StartsWith(text, L"\\\\?\\") || StartsWith(text, L"\\??\\");
    const std::wstring rest = device || verbatim ? text.substr(4) : text;
    if (((device || verbatim) && StartsWith(rest, L"PIPE\\")) || IsUncPipe(text)) {
        return L"a named pipe";
    }
    const bool fileRoot = (rest.size() >= 3 && rest[1] == L':' && rest[2] == L'\\') ||
                          StartsWith(rest, L"UNC\\") || StartsWith(rest, L"VOLUME{");
    if (device || (verbatim && !fileRoot) || IsReservedName(text)) {
        return L"a device";
    }
    return std::wstring();
}
