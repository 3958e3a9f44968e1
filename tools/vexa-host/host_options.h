#pragma once

#include <optional>
#include <string>
#include <vector>

namespace host {

// The command line of vexa-host (both forms):
//   vexa-host [--seconds S] [--cycles N] [--hmi-vars FILE] [--hmi-trace FILE]
//             [--module-ini FILE] [--registry FILE] [--event-log FILE] [--smart-dir DIR]
//             [--accounts FILE] [--no-admin] [--no-hmi-runtime] [--status]
struct HostOptions {
    std::optional<double> m_Seconds;
    std::optional<long> m_Cycles;
    std::optional<std::string> m_HmiVars;
    std::optional<std::string> m_HmiTrace;
    std::optional<std::string> m_ModuleIni;
    std::optional<std::string> m_Registry;
    std::optional<std::string> m_EventLog;
    std::optional<std::string> m_SmartDir;
    std::optional<std::string> m_Accounts;
    // Native only: runs D days of cycles on a simulated clock, without pausing, and prints the
    // process's figures once a simulated day (a measurement, see scripts/soak).
    std::optional<long> m_SimulateDays;
    // Native only, with --simulate-days: the percentage used of the stand-in system disk rises
    // by this much a simulated day (and its power-on hours by 24).
    std::optional<double> m_WearPerDay;
    // Native only: the machine acts as an account without administrator rights: a physical
    // drive opens for reading and writing only while an administrator logon is impersonated.
    bool m_bNoAdmin = false;
    // Runs the monitor with no HMI runtime to find, as on a machine whose HMI is not running.
    bool m_bNoHmiRuntime = false;
    // After the run, prints the last cycle's snapshot as a table.
    bool m_bStatus = false;
    // --help or -h: prints the usage and runs nothing.
    bool m_bHelp = false;
};

// Parses the arguments after the program name. On a bad command line returns nothing and sets
// `p_strError`.
std::optional<HostOptions> ParseHostOptions(const std::vector<std::string>& p_Arguments,
                                            std::string& p_strError);

// The options of the program's command line; on a bad one, nothing, with the reason written to
// standard error (UsageError).
std::optional<HostOptions> ParseCommandLine(int argc, char** argv);

// The options that only the native form understands, by name, when given.
std::vector<std::string> NativeOnlyOptions(const HostOptions& p_Options);

// The text of --help: every option with its argument's format, the stand-ins' file formats in
// brief, the environment and the exit statuses.
std::string Usage();

// The one line of a usage error: what is wrong, and where to look.
std::string UsageError(const std::string& p_strError);

// The names of an --hmi-vars file, one a line (blank lines skipped); nothing when it cannot be
// read.
std::optional<std::vector<std::wstring>> ReadHmiVariableNames(const std::string& p_strFile);

}  // namespace host
