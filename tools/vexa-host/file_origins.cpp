#include "file_origins.h"

#include <cstdio>

#include "platform/text.h"
#include "logging/log_file_path.h"
#include "platform/environment.h"
#include "platform/seam.h"
#include "settings/settings.h"
#include "settings/values_file.h"

#ifndef _WIN32
#include "platform/posix/native_path_posix.h"
#endif

namespace host {
namespace {

constexpr std::size_t kLabelWidth = 15;
constexpr std::size_t kStateWidth = 9;

std::string Padded(std::string p_strText, std::size_t p_nWidth)
{
    if (p_strText.size() < p_nWidth) {
        p_strText.append(p_nWidth - p_strText.size(), ' ');
    }
    return p_strText;
}

void Warn(const std::string& p_strText)
{
    const std::string l_strLine = "vexa-host: warning: " + p_strText + "\n";
    std::fwrite(l_strLine.data(), 1, l_strLine.size(), stderr);
}

}  // namespace

std::string NativeForm(const std::wstring& p_strPath)
{
#ifdef _WIN32
    return platform::WideToUtf8(p_strPath);
#else
    return platform::posix::NativePath(p_strPath);
#endif
}

std::string RenderFileOrigins(const std::vector<service::MonitorFile>& p_Files)
{
    std::string l_strOut;
    for (const service::MonitorFile& l_File : p_Files) {
        const char* l_szState = l_File.path.empty() && !l_File.setsValues ? "off"
                                : PathExists(l_File.path)                 ? "found"
                                                                          : "missing";
        std::string l_strLine = Padded(platform::WideToUtf8(l_File.label), kLabelWidth) +
                                Padded(l_szState, kStateWidth) + NativeForm(l_File.path);
        while (!l_strLine.empty() && l_strLine.back() == ' ') {
            l_strLine.pop_back();
        }
        l_strOut += l_strLine + "\n";
    }
    return l_strOut;
}

void WarnAboutSettings(const std::vector<service::MonitorFile>& p_Files)
{
    for (const service::MonitorFile& l_File : p_Files) {
        if (l_File.setsValues && !PathExists(l_File.path)) {
            const std::string l_strPath =
                l_File.path.empty() ? std::string("(an empty path)") : NativeForm(l_File.path);
            Warn(platform::WideToUtf8(l_File.label) + " " + l_strPath +
                 " is missing: its keys take their defaults");
        }
    }
    if (!platform::Use<platform::Environment>().Get(L"TEMP")) {
        Warn("TEMP is not set: the log goes to " + NativeForm(dbg::LogFilePath()) +
             " and the values file to " + NativeForm(GetValuesFilePath()) +
             "; set TEMP to a folder this account can write");
    }
}

}  // namespace host
