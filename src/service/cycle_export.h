#pragma once

#include <cstdint>
#include <string>

#include "broadcast/metrics_file.h"

namespace MBBroadcast {
class Broadcast;
}
namespace MBDataAquisition {
struct DiskHealth;
class UpsInfo;
}  // namespace MBDataAquisition
namespace MBDataContainer {
struct SourceAges;
}  // namespace MBDataContainer

namespace service {

// After every cycle, good or failed: builds the cycle's snapshot from what the broadcast rated
// and the disk source read, counts the cycles, and hands the snapshot on: to the metrics file
// (when configured), to the values file's heartbeat (with the values-file broadcast) and to the
// process's last-snapshot store. Then writes the values file whole, once, with everything the
// cycle gathered for it. Nothing of this can fail the cycle.
class CycleExport {
public:
    // Reads the metrics file's path and the cycle time; forgets the snapshot of an earlier run.
    CycleExport(std::wstring p_strSensorSource, bool p_bHeartbeat);

    // `p_Disk`: the system disk's record of the last disk refresh that ended;
    // `p_bDiskLogonFailed`: the administrator's logon for the drives failed.
    void CycleEnded(const MBBroadcast::Broadcast& p_Broadcast,
                    const MBDataAquisition::DiskHealth& p_Disk, bool p_bDiskLogonFailed,
                    const MBDataAquisition::UpsInfo* p_pUps,
                    const MBDataContainer::SourceAges& p_Ages, bool p_bFailed) noexcept;
    // The reason of a failed cycle, before its CycleEnded; the run's first one is kept.
    void CycleFailed(const std::wstring& p_strReason) noexcept;

private:
    // The cycle's one write of the values file; a failure is logged once until a write succeeds.
    void WriteValuesFile() noexcept;

    std::wstring m_strSensorSource;
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
