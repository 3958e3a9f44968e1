#include "settings/install_rights.h"

#include <string>

#include "logging/log.h"
#include "platform/file_rights.h"
#include "platform/file_system.h"
#include "platform/seam.h"
#include "settings/settings.h"

namespace {

const wchar_t kLocation[] = L"WarnOfOpenInstall";

// The longest module path the settings read too (GetModuleIniPath).
constexpr std::size_t kModulePathChars = 260;

void WarnIfOpen(const std::wstring& p_strPath, platform::FileRights::Access p_Access)
{
    if (p_strPath.empty() ||
        !platform::Use<platform::FileRights>().OpenToAllUsers(p_strPath, p_Access)) {
        return;
    }
    dbg::LogLine(VEXA_LOCATION(kLocation), 0,
                 (p_Access == platform::FileRights::Access::kWrite ? L"writable by all users: "
                                                                   : L"readable by all users: ") +
                     p_strPath);
}

}  // namespace

void WarnOfOpenInstall() noexcept
{
    try {
        using Access = platform::FileRights::Access;
        const std::wstring l_strModule =
            platform::Use<platform::FileSystem>().ModulePath(kModulePathChars);
        const std::size_t l_nSlash = l_strModule.find_last_of(L"\\/");
        if (l_nSlash != std::wstring::npos) {
            WarnIfOpen(l_strModule.substr(0, l_nSlash), Access::kWrite);
        }
        WarnIfOpen(GetModuleIniPath(), Access::kWrite);
        WarnIfOpen(GetCredentialsFilePath(), Access::kRead);
    } catch (...) {
        // Out of memory for a path: the monitor runs without the warning.
    }
}
