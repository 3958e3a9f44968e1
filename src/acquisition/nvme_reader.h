#pragma once

#include "acquisition/drive_reading.h"
#include "platform/disk_device.h"

namespace diag {

// Reads an NVMe drive's SMART / Health Information log page, on a handle opened with or without
// access: power-on hours and media errors in the first two counter slots (the others are not
// applicable: NVMe counts no sectors), the critical warning, the percentage used and the
// temperature. A page that does not answer leaves the two counters unread and gives no reading.
DriveReading ReadNvmeDrive(platform::DiskDevice& p_Device, platform::Handle p_hDrive);

}  // namespace diag
