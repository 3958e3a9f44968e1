#pragma once

#include <string>

#include "data/cycle_snapshot.h"

namespace MBBroadcast {

// The path of key "MetricsFile" in section "Export" of the add-on's own settings file, read in
// full up to 32,766 characters; empty (the default) leaves the metrics file off. A longer value
// is refused with one log line (level 0) and leaves it off too: a cut path would name another
// file. So is a path that does not end in ".prom" or that names a device or a named pipe.
std::wstring ReadMetricsFilePath();

// The Prometheus text file that an exporter's textfile collector serves, rewritten whole after
// every cycle. A failed write never fails the cycle: the first failure is logged, and the first
// success after it, so a lasting fault costs two log entries and not one per cycle.
class MetricsFile {
public:
    explicit MetricsFile(std::wstring p_strPath);

    bool IsOn() const { return !m_strPath.empty(); }
    // Replaces the file with the snapshot's metrics in one step; does nothing when off.
    void Write(const MBDataContainer::CycleSnapshot& p_Snapshot,
               const std::wstring& p_strVersion) noexcept;

private:
    std::wstring m_strPath;
    bool m_bFailing = false;
};

}  // namespace MBBroadcast
