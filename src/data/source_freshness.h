#pragma once

#include <cstdint>
#include <string>

#include "acquisition/disk_health.h"
#include "settings/freshness_limits.h"

namespace MBDataContainer {

// How old the data of the sensor source and of the system disk are, and whether that is too old.
struct SourceAges {
    std::int64_t sensorSeconds = 0;
    std::int64_t diskSeconds = 0;
    bool sensorsStale = false;
    bool diskStale = false;
    // No refresh has read the system disk since the start: stale at once while its limit is set.
    bool diskNeverRead = false;
    // A read that has not ended by the cycle's deadline (set by the worker, not by Observe), and
    // for how many whole seconds it has run.
    bool sensorsBlocked = false;
    bool diskBlocked = false;
    std::int64_t sensorBlockedSeconds = 0;
    std::int64_t diskBlockedSeconds = 0;
};

// Tells how long each source's data has stayed unchanged, on the platform's monotonic clock. The
// sensor source's data ages from the last cycle whose raw data differed from the data before it
// (a cycle without data changes nothing); the disk's from the last cycle whose health record says
// that its refresh read the system disk. Both age from the construction until then. Setting the
// wall clock, back or forward, does not change the ages. A source is stale while a limit is set
// (not 0) and its age has reached it; a system disk that no refresh has read since the start is
// stale from the first cycle, for a monitor that cannot see must say so at once. Becoming stale and
// becoming fresh again are logged once each (level 0).
class SourceFreshness {
public:
    explicit SourceFreshness(const FreshnessLimits& p_Limits);

    // After the sources' update of a cycle, also one that failed: the sensor source's raw data
    // (empty when it had none) and the system disk's health record of this cycle's refresh
    // (nullptr without a disk source or when this cycle did not refresh it).
    void Observe(const std::string& p_strSensorData, const MBDataAquisition::DiskHealth* p_pDisk);

    // As of the last Observe (all 0 and fresh before the first).
    const SourceAges& Ages() const { return m_Ages; }

private:
    FreshnessLimits m_Limits;
    std::string m_strSensorData;
    bool m_bDiskEverRead = false;
    std::int64_t m_nSensorChanged;
    std::int64_t m_nDiskRead;
    SourceAges m_Ages;
};

}  // namespace MBDataContainer
