#pragma once

#include <cstdint>
#include <string>

#include "data/cycle_snapshot.h"

namespace MBBroadcast {

// Section of the values file that tells the HMI project the monitor is alive.
inline constexpr wchar_t kStatusSection[] = L"VEXA_STATUS";

// Writes "LAST_CYCLE" (the cycle's local time), "FAILED_CYCLES" (failed cycles in a row, 0 after
// a good one), "DISK_SOURCE" ("ATA", "NVMe" or "none"), "DISK_DRIVE" (the system disk's drive
// number), "SENSOR_AGE" and "DISK_AGE" (whole seconds for which the sensor data have not changed
// and since the system disk was read) into the status section of the values file: the section's
// lines are replaced in the cycle's one write of the file (ValuesFileWriter). After every cycle,
// a failed one included; it does not count for the current-state rewrites.
void WriteHeartbeat(const MBDataContainer::CycleSnapshot& p_Snapshot) noexcept;

}  // namespace MBBroadcast
