#include "service/monitor_files.h"

#include "broadcast/metrics_file.h"
#include "logging/log_file_path.h"
#include "settings/sensor_source.h"
#include "settings/settings.h"
#include "settings/values_file.h"

namespace service {
std::vector<MonitorFile> ListMonitorFiles()
{
    return {
        {L"settings file", GetModuleIniPath(), true},
        {L"Computer.ini", GetComputerIniPath(), true},
        {L"InstallSP.ini", GetServicePackIniPath(), false},
        {L"Computer.xml", GetCredentialsFilePath(), false},
        {L"history file", ReadHistoryFilePath(), false},
        {L"values file", GetValuesFilePath(), false},
        {L"log", dbg::LogFilePath(), false},
        {L"metrics file", MBBroadcast::ReadMetricsFilePath(), false},
    };
}

}  // namespace service
