#pragma once

#include <array>
#include <cstdint>

#include "acquisition/disk_health.h"
#include "acquisition/drive_reading.h"
#include "acquisition/smart_attribute.h"
#include "platform/disk_device.h"

namespace diag {

// The attribute behind each counter slot of the health record: power-on hours, off-line
// uncorrectable sectors, reallocation events, current pending sectors, reallocated sectors.
inline constexpr std::array<std::uint8_t, MBDataAquisition::DiskHealth::kCounterCount>
    kCounterAttributes = {9, 198, 196, 197, 5};

// Reads an ATA drive opened for reading and writing with SMART commands: ENABLE OPERATIONS,
// automatic off-line data collection (at most once per process), READ ATTRIBUTE VALUES. The
// system disk (`p_bSystemDisk`) is also asked for its verdict (RETURN STATUS), its thresholds and
// its Device Statistics log (READ LOG EXT, or SMART READ LOG where the drive or its driver will
// not). A drive that refuses ENABLE is not asked more and did not answer.
DriveReading ReadAtaDrive(platform::DiskDevice& p_Device, platform::Handle p_hDrive,
                          bool p_bSystemDisk);

// What every ATA reading takes from an attribute table: the counters with their states (an
// attribute the drive lacks is unread and reads 0) and attribute 194's temperature. The source
// becomes ATA.
void TakeAttributes(const SmartTable& p_Table, MBDataAquisition::DiskHealth& p_Health);

// Automatic off-line data collection is enabled at most once per process; tests start over.
void ResetAutoOffline();

}  // namespace diag
