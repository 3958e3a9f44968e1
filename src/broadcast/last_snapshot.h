#pragma once

#include <cstdint>
#include <optional>

#include "data/cycle_snapshot.h"

namespace MBBroadcast {

// The latest cycle's snapshot, kept for the life of the process so that a host can still show it
// after the worker has ended. Safe to use from any thread.
void PublishSnapshot(const MBDataContainer::CycleSnapshot& snapshot);
std::optional<MBDataContainer::CycleSnapshot> LastSnapshot();
// The cycle count of the latest snapshot (0 before the first), without copying its fields: a
// host polls it to end a run after a number of cycles.
std::uint64_t LastSnapshotCycles();
// A new run of the worker begins without the snapshot of an earlier one.
void ForgetSnapshot();

}  // namespace MBBroadcast
