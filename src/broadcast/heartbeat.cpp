#include "broadcast/heartbeat.h"

#include "settings/values_file_writer.h"
#include "support/local_time.h"

namespace MBBroadcast {

void WriteHeartbeat(const MBDataContainer::CycleSnapshot& p_Snapshot) noexcept
{
    try {
        ValuesFileWriter::Instance().SetSection(
            kStatusSection,
            {{L"LAST_CYCLE", utils::LocalTimeText(p_Snapshot.time)},
             {L"FAILED_CYCLES", std::to_wstring(p_Snapshot.consecutiveFailures)},
             {L"DISK_SOURCE", MBDataAquisition::NamesOf(p_Snapshot.disk.source).name},
             {L"DISK_DRIVE", std::to_wstring(p_Snapshot.disk.drive)},
             {L"SENSOR_AGE", std::to_wstring(p_Snapshot.sensorAgeSeconds)},
             {L"DISK_AGE", std::to_wstring(p_Snapshot.diskAgeSeconds)}});
    } catch (...) {
        // The heartbeat is a courtesy to the HMI: the next cycle writes it again.
    }
}

}  // namespace MBBroadcast
