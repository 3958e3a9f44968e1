#pragma once

#include <string>

#include "data/cycle_snapshot.h"

namespace MBBroadcast {

// The snapshot as plain text for a person: one aligned row per field (reading, setpoint, warning
// and error band where the field has them, rating as a word), then the group digits, the UPS
// state of charge, the sources and the cycle counts. With `colour` the rating words carry
// terminal colour codes. UTF-8, lines ending in "\n".
std::string RenderStatusTable(const MBDataContainer::CycleSnapshot& snapshot, bool colour);

}  // namespace MBBroadcast
