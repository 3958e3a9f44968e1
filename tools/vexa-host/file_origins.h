#pragma once

#include <string>
#include <vector>

#include "service/monitor_files.h"

namespace host {

// A Windows path as this system names it: natively the posix path the platform layer opens
// ("c:\temp\x.ini" is "/temp/x.ini"), on Windows the path itself; UTF-8.
std::string NativeForm(const std::wstring& p_strPath);

// The head of --status: one line a file, its label, "found", "missing" or "off", and its path.
std::string RenderFileOrigins(const std::vector<service::MonitorFile>& p_Files);

// Before a run: a warning on standard error for each missing file whose keys set values (the
// monitor would run on defaults), and one when TEMP is not set (the log and the values file
// then land in the root folders, where an ordinary account cannot write).
void WarnAboutSettings(const std::vector<service::MonitorFile>& p_Files);

}  // namespace host
