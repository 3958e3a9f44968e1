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

}  // namespace

std::optional<HostOptions> ParseHostOptions(const std::vector<std::string>& p_Arguments,
                                            std::string& p_strError)
{
    HostOptions l_Options;
    const std::pair<const char*, std::optional<std::string> HostOptions::*> l_Files[] = {
        {"--hmi-vars", &HostOptions::m_HmiVars},     {"--hmi-trace", &HostOptions::m_HmiTrace},
        {"--module-ini", &HostOptions::m_ModuleIni}, {"--registry", &HostOptions::m_Registry},
        {"--event-log", &HostOptions::m_EventLog},   {"--smart-dir", &HostOptions::m_SmartDir},
        {"--accounts", &HostOptions::m_Accounts},
    };
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
        for (const auto& l_File : l_Files) {
            l_bTakesValue = l_bTakesValue || l_strName == l_File.first;
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
        for (const auto& [l_szOption, l_pMember] : l_Files) {
            if (l_strName == l_szOption) {
                l_Options.*l_pMember = l_strValue;
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
    if (p_Options.m_ModuleIni)
        l_Names.push_back("--module-ini");
    if (p_Options.m_Registry)
        l_Names.push_back("--registry");
    if (p_Options.m_EventLog)
        l_Names.push_back("--event-log");
    if (p_Options.m_SmartDir)
        l_Names.push_back("--smart-dir");
    if (p_Options.m_Accounts)
        l_Names.push_back("--accounts");
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
