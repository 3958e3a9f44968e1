#pragma once

#include <cstdint>
#include <string>

#include "broadcast/metrics_file.h"
#include "data/cycle_snapshot.h"

namespace service {

// After every cycle, good or failed: counts the cycles, adds the counts and the time to the
// cycle's snapshot and hands it on: to the values file's heartbeat (with the values-file
// broadcast), to the metrics file (when configured) and to the process's last-snapshot store.
// Writes the values file whole, once, with everything the cycle gathered for it. Nothing of this
// can fail the cycle.
class CycleExport {
public:
    // Reads the metrics file's path and the cycle time; forgets the snapshot of an earlier run.
    explicit CycleExport(bool p_bHeartbeat);

    // `p_pCycle`: the snapshot the data layer built for the cycle, the one its broadcast
    // published; nullptr when it could not be built (out of memory), which reports nothing but
    // the count.
    void CycleEnded(MBDataContainer::CycleSnapshot* p_pCycle, bool p_bFailed) noexcept;
    // The reason of a failed cycle, before its CycleEnded; the run's first one is kept.
    void CycleFailed(const std::wstring& p_strReason) noexcept;

private:
    // The cycle's one write of the values file; a failure is logged once until a write succeeds.
    void WriteValuesFile() noexcept;

    bool m_bHeartbeat;
    std::wstring m_strValuesFile;
    std::int64_t m_nCycleIntervalMs;
    MBBroadcast::MetricsFile m_MetricsFile;
    std::uint64_t m_nCycles = 0;
    std::uint64_t m_nFailedCycles = 0;
    std::uint64_t m_nFailedInARow = 0;
    std::uint64_t m_nFailedWrites = 0;  // values-file writes that failed in a row
    std::wstring m_strFirstFailure;
};

}  // namespace service
