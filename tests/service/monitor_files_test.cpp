#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "fakes/memory_environment.h"
#include "fakes/memory_profile.h"
#include "platform/seam.h"
#include "service/monitor_files.h"
#include "settings/settings.h"

namespace {

// The files vexa-host --status lists are the ones a start of the worker resolves: from the
// environment with its fallbacks, and from the settings that name the history and metrics files.
TEST(MonitorFiles, AreResolvedAsTheWorkerResolvesThem)
{
    const std::wstring ini = L"c:\\Vexa\\VW_Vexa.ini";
    const std::map<std::wstring, std::wstring> machine{{L"COMPUTER_INI", L"d:\\cfg\\Computer.ini"},
                                                       {L"temp", L"t:\\tmp"},
                                                       {L"SERVICEPACKDIR", L"s:\\sp"},
                                                       {L"MAINDIR", L"m:\\main"}};
    const std::vector<std::wstring> onMachine{
        ini, L"d:\\cfg\\Computer.ini",   L"s:\\sp\\InstallSP.ini", L"m:\\main\\Computer.xml",
        L"", L"t:\\tmp\\VexaValues.ini", L"t:\\tmp\\Vexa.log",     L""};
    std::vector<std::wstring> probeAndMetrics = onMachine;
    probeAndMetrics[4] = L"h:\\probe\\history.txt";
    probeAndMetrics[7] = L"x:\\m\\vexa.prom";
    const struct {
        const char* label;
        std::map<std::wstring, std::wstring> environment;
        std::wstring sensorSource;  // "Vexa" of [CD1_Setup]
        std::wstring historyFile;   // "HistoryFile" of the probe's section
        std::wstring metricsFile;   // "MetricsFile" of [Export]
        std::vector<std::wstring> paths;
    } cases[] = {
        {"the machine's variables", machine, L"", L"", L"", onMachine},
        {"no variables: the fallbacks",
         {},
         L"",
         L"",
         L"",
         {ini, L"c:\\Computer.ini", L"c:\\Servicepacks\\InstallSP.ini", L"c:\\Computer.xml", L"",
          L"c:\\temp\\VexaValues.ini", L"\\Vexa.log", L""}},
        {"a probe section of its own, a metrics file", machine, L"Probe2",
         L"h:\\probe\\history.txt", L"x:\\m\\vexa.prom", probeAndMetrics},
        {"SpeedFan reads no history file", machine, L"SpeedFan", L"h:\\probe\\history.txt", L"",
         onMachine},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        fakes::MemoryEnvironment environment(c.environment);
        const platform::Substitute<platform::Environment> environmentInPlace(environment);
        fakes::MemoryProfile profile;
        const platform::Substitute<platform::Profile> profileInPlace(profile);
        const std::wstring computerIni = GetComputerIniPath();
        profile.entries[{computerIni, L"CD1_Setup", L"Vexa"}] = c.sensorSource;
        const std::wstring section = c.sensorSource.empty() ? L"MbProbe" : c.sensorSource;
        profile.entries[{computerIni, section, L"HistoryFile"}] = c.historyFile;
        profile.entries[{ini, L"Export", L"MetricsFile"}] = c.metricsFile;
        UseModuleIniPath(ini);
        const std::vector<service::MonitorFile> files = service::ListMonitorFiles();
        UseModuleIniPath(L"");
        std::vector<std::wstring> paths;
        for (const service::MonitorFile& file : files) {
            paths.push_back(file.path);
        }
        EXPECT_EQ(paths, c.paths);
    }
}

}  // namespace
