#pragma once

#include <string>
#include <vector>

namespace service {

// One file the monitor uses, as it resolves the path now (Windows form).
struct MonitorFile {
    // For a person: "settings file", "Computer.ini", ..., "metrics file".
    std::wstring label;
    // Empty when the file is off: no metrics file configured, no history file with the SpeedFan
    // source or without the setting.
    std::wstring path;
    // Its keys set values: when it is missing, every key takes its default.
    bool setsValues = false;
};

// The files of the monitor, resolved as a start of the worker would resolve them: the add-on's
// own settings file, Computer.ini, InstallSP.ini, Computer.xml, the probe's history file, the
// values file, the log and the metrics file. Reads settings; logs only what reading the metrics
// file's path logs.
std::vector<MonitorFile> ListMonitorFiles();

}  // namespace service
