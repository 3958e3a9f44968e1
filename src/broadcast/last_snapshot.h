#pragma once

#include <optional>

#include "broadcast/cycle_snapshot.h"

namespace MBBroadcast {

// The latest cycle's snapshot, kept for the life of the process so that a host can still show it
// after the worker has ended. Safe to use from any thread.
void PublishSnapshot(const CycleSnapshot& snapshot);
std::optional<CycleSnapshot> LastSnapshot();
// A new run of the worker begins without the snapshot of an earlier one.
void ForgetSnapshot();

}  // namespace MBBroadcast
