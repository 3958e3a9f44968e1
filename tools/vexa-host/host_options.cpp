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
        if (l_nArg + 1 >= p_Arguments.size()) {
            p_strError = l_strName + " needs a value";
            return std::nullopt;
        }
        const std::string& l_strValue = p_Arguments[++l_nArg];
        if (l_strName == "--seconds") {
            double l_dSeconds = 0;
            if (!ParseSeconds(l_strValue, l_dSeconds)) {
                p_strError = "--seconds needs a number of seconds, not " + l_strValue;
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
                p_strError = l_strName + " needs a positive number, not " + l_strValue;
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

std::string Usage()
{
    return "usage: vexa-host [--seconds S] [--cycles N] [--hmi-vars FILE] [--hmi-trace FILE]\n"
           "                 [--module-ini FILE] [--registry FILE] [--event-log FILE]\n"
           "                 [--smart-dir DIR] [--accounts FILE] [--no-admin]\n"
           "                 [--no-hmi-runtime] [--status] [--simulate-days D]\n"
           "                 [--wear-per-day P] [--help]\n"
           "--smart-dir DIR (native): drive N is DIR/PhysicalDriveN.bin, a 512-byte S.M.A.R.T.\n"
           "  attribute data block, or DIR/PhysicalDriveN.nvme, an NVMe drive's 512-byte SMART /\n"
           "  Health Information log page; beside them PhysicalDriveN.thr (the 512-byte\n"
           "  threshold block), PhysicalDriveN.failing (present: the drive reports a threshold\n"
           "  exceeded), PhysicalDriveN.devstat (the Device Statistics log, page k at byte\n"
           "  512*k), PhysicalDriveN.ident (two lines: model and serial number) and SystemDrive\n"
           "  (the number of the drive that holds the Windows volume; absent: the volume query\n"
           "  fails)\n"
           "--no-admin (native): the machine acts as an account without administrator rights:\n"
           "  a drive opens for reading and writing only while an administrator logon is\n"
           "  impersonated; the queries without rights always answer\n"
           "--simulate-days D (native): D days of cycles on a simulated clock, without pausing,\n"
           "  with one line of the process's figures a day (see scripts/soak); the days end at\n"
           "  about the real time\n"
           "--wear-per-day P (native, with --simulate-days): the system disk of --smart-dir\n"
           "  (its .nvme page or .devstat log) wears by P percent a simulated day and gains 24\n"
           "  power-on hours\n";
}

std::optional<HostOptions> ParseCommandLine(int argc, char** argv)
{
    std::string l_strError;
    std::optional<HostOptions> l_Options =
        ParseHostOptions(std::vector<std::string>(argv + 1, argv + argc), l_strError);
    if (!l_Options) {
        std::cerr << "vexa-host: " << l_strError << "\n" << Usage();
    }
    return l_Options;
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
