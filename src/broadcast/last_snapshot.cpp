#include "broadcast/last_snapshot.h"

#include <mutex>

namespace MBBroadcast {
namespace {

std::mutex& SnapshotMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::optional<CycleSnapshot>& Stored()
{
    static std::optional<CycleSnapshot> snapshot;
    return snapshot;
}

}  // namespace

void PublishSnapshot(const CycleSnapshot& snapshot)
{
    std::lock_guard<std::mutex> lock(SnapshotMutex());
    Stored() = snapshot;
}

std::optional<CycleSnapshot> LastSnapshot()
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
