#include "host_options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iostream>

#include "platform/text.h"

namespace host {
namespace {

bool ParseSeconds(const std::string& p_strText, double& p_dSeconds)
{
    char* l_pEnd = nullptr;
    errno = 0;
    p_dSeconds = std::strtod(p_strText.c_str(), &l_pEnd);
    return errno == 0 && l_pEnd != p_strText.c_str() && *l_pEnd == '\0' &&
           std::isfinite(p_dSeconds) && p_dSeconds >= 0;
}

bool ParseCycles(const std::string& p_strText, long& p_nCycles)
{
    char* l_pEnd = nullptr;
    errno = 0;
    p_nCycles = std::strtol(p_strText.c_str(), &l_pEnd, 10);
    return errno == 0 && l_pEnd != p_strText.c_str() && *l_pEnd == '\0' && p_nCycles > 0;
}

// The options that name a file; the native form alone reads the stand-ins' files.
struct FileOption {
    const char* m_szName;
    std::optional<std::string> HostOptions::*m_pMember;
    bool m_bNativeOnly;
};
const FileOption kFileOptions[] = {
    {"--hmi-vars", &HostOptions::m_HmiVars, false},
    {"--hmi-trace", &HostOptions::m_HmiTrace, false},
    {"--module-ini", &HostOptions::m_ModuleIni, true},
    {"--registry", &HostOptions::m_Registry, true},
    {"--event-log", &HostOptions::m_EventLog, true},
    {"--smart-dir", &HostOptions::m_SmartDir, true},
    {"--accounts", &HostOptions::m_Accounts, true},
};

}  // namespace

std::optional<HostOptions> ParseHostOptions(const std::vector<std::string>& p_Arguments,
                                            std::string& p_strError)
{
    HostOptions l_Options;
    for (std::size_t l_nArg = 0; l_nArg < p_Arguments.size(); ++l_nArg) {
        const std::string& l_strName = p_Arguments[l_nArg];
        if (l_strName == "--no-hmi-runtime") {
            l_Options.m_bNoHmiRuntime = true;
            continue;
        }
        if (l_strName == "--no-admin") {
            l_Options.m_bNoAdmin = true;
            continue;
        }
        if (l_strName == "--help" || l_strName == "-h") {
            l_Options.m_bHelp = true;
            continue;
        }
        if (l_strName == "--status") {
            l_Options.m_bStatus = true;
            continue;
        }
        bool l_bTakesValue = l_strName == "--seconds" || l_strName == "--cycles" ||
                             l_strName == "--simulate-days" || l_strName == "--wear-per-day";
        for (const FileOption& l_File : kFileOptions) {
            l_bTakesValue = l_bTakesValue || l_strName == l_File.m_szName;
        }
        if (!l_bTakesValue) {
            p_strError = l_strName.rfind("-", 0) == 0 ? "unknown option " + l_strName
                                                      : "unexpected argument " + l_strName;
            return std::nullopt;
        }
        // An option in place of the value is a value left out, not a file of that name.
        if (l_nArg + 1 >= p_Arguments.size() || p_Arguments[l_nArg + 1].rfind("--", 0) == 0) {
            p_strError = l_strName + " needs a value";
            return std::nullopt;
        }
        const std::string& l_strValue = p_Arguments[++l_nArg];
        if (l_strName == "--seconds") {
            double l_dSeconds = 0;
            if (!ParseSeconds(l_strValue, l_dSeconds)) {
                p_strError = "--seconds needs a number of seconds, 0 or more, not " + l_strValue;
                return std::nullopt;
            }
            l_Options.m_Seconds = l_dSeconds;
            continue;
        }
        if (l_strName == "--wear-per-day") {
            double l_dWear = 0;
            if (!ParseSeconds(l_strValue, l_dWear)) {
                p_strError = "--wear-per-day needs a percentage from 0 up, not " + l_strValue;
                return std::nullopt;
            }
            l_Options.m_WearPerDay = l_dWear;
            continue;
        }
        if (l_strName == "--cycles" || l_strName == "--simulate-days") {
            long l_nCount = 0;
            if (!ParseCycles(l_strValue, l_nCount)) {
                p_strError = l_strName + " needs a whole number, 1 or more, not " + l_strValue;
                return std::nullopt;
            }
            (l_strName == "--cycles" ? l_Options.m_Cycles : l_Options.m_SimulateDays) = l_nCount;
            continue;
        }
        for (const FileOption& l_File : kFileOptions) {
            if (l_strName == l_File.m_szName) {
                l_Options.*(l_File.m_pMember) = l_strValue;
            }
        }
    }
    if (l_Options.m_WearPerDay && !l_Options.m_SimulateDays) {
        p_strError = "--wear-per-day needs --simulate-days";
        return std::nullopt;
    }
    return l_Options;
}

std::vector<std::string> NativeOnlyOptions(const HostOptions& p_Options)
{
    std::vector<std::string> l_Names;
    for (const FileOption& l_File : kFileOptions) {
        if (l_File.m_bNativeOnly && p_Options.*(l_File.m_pMember)) {
            l_Names.push_back(l_File.m_szName);
        }
    }
    if (p_Options.m_SimulateDays)
        l_Names.push_back("--simulate-days");
    if (p_Options.m_WearPerDay)
        l_Names.push_back("--wear-per-day");
    if (p_Options.m_bNoAdmin)
        l_Names.push_back("--no-admin");
    return l_Names;
}

std::optional<HostOptions> ParseCommandLine(int argc, char** argv)
{
    std::string l_strError;
    std::optional<HostOptions> l_Options =
        ParseHostOptions(std::vector<std::string>(argv + 1, argv + argc), l_strError);
    if (!l_Options) {
        std::cerr << UsageError(l_strError);
    }
    return l_Options;
}

std::string UsageError(const std::string& p_strError)
{
    return "vexa-host: " + p_strError + "; see --help\n";
}

std::optional<std::vector<std::wstring>> ReadHmiVariableNames(const std::string& p_strFile)
{
    std::ifstream l_File(p_strFile, std::ios::binary);
    if (!l_File) {
        return std::nullopt;
    }
    std::vector<std::wstring> l_Names;
    std::string l_strLine;
    while (std::getline(l_File, l_strLine)) {
        while (!l_strLine.empty() &&
               (l_strLine.back() == '\r' || l_strLine.back() == ' ' || l_strLine.back() == '\t')) {
            l_strLine.pop_back();
        }
        if (!l_strLine.empty()) {
            l_Names.push_back(platform::AnsiToWide(l_strLine));
        }
    }
    return l_Names;
}

}  // namespace host
