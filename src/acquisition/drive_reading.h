#pragma once

#include <optional>

#include "acquisition/disk_health.h"
#include "acquisition/smart_attribute.h"

namespace diag {

// What one protocol reader learnt of one drive at one read.
struct DriveReading {
    // The drive answered its protocol: SMART was enabled, the predict-failure query or the health
    // page answered.
    bool answered = false;
    // An ATA drive's attribute table, as the drive gave it.
    std::optional<SmartTable> attributes;
    // The drive's record; its source is set only when the read gave its counters. The drive
    // number, the access and the descriptor's fields are the caller's to add.
    MBDataAquisition::DiskHealth health;
};

}  // namespace diag
