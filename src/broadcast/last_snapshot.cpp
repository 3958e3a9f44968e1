#include "broadcast/last_snapshot.h"

#include <mutex>

namespace MBBroadcast {
namespace {

std::mutex& SnapshotMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::optional<MBDataContainer::CycleSnapshot>& Stored()
{
    static std::optional<MBDataContainer::CycleSnapshot> snapshot;
    return snapshot;
}

}  // namespace

void PublishSnapshot(const MBDataContainer::CycleSnapshot& snapshot)
{
    std::lock_guard<std::mutex> lock(SnapshotMutex());
    Stored() = snapshot;
}

std::optional<MBDataContainer::CycleSnapshot> LastSnapshot()
{
    std::lock_guard<std::mutex> lock(SnapshotMutex());
    return Stored();
}

std::uint64_t LastSnapshotCycles()
{
    std::lock_guard<std::mutex> lock(SnapshotMutex());
    return Stored() ? Stored()->cycles : 0;
}

void ForgetSnapshot()
{
    std::lock_guard<std::mutex> lock(SnapshotMutex());
    Stored().reset();
}

}  // namespace MBBroadcast
