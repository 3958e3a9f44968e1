#pragma once

#include "acquisition/drive_reading.h"
#include "platform/disk_device.h"

namespace diag {

// Reads an ATA drive on a handle opened without access, where Windows answers only the
// predict-failure query: the drive's verdict (bit 0 of the critical warning) and, when the answer
// holds attribute data, its counters and attribute 194's temperature. A driver that takes the
// verdict from SCSI sense data (SAS and SCSI disks, some RAID and USB bridges) answers with the
// verdict alone: its data names no attribute, and the reading has no counters.
DriveReading ReadAtaWithoutRights(platform::DiskDevice& p_Device, platform::Handle p_hDrive);

}  // namespace diag
