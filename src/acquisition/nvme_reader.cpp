#include "acquisition/nvme_reader.h"

#include "acquisition/nvme_health.h"

#include <array>

namespace diag {

using MBDataAquisition::CounterState;

DriveReading ReadNvmeDrive(platform::DiskDevice& p_Device, platform::Handle p_hDrive)
{
    DriveReading l_Reading;
    MBDataAquisition::DiskHealth& l_Health = l_Reading.health;
    l_Health.counterStates = {CounterState::Unread, CounterState::Unread,
                              CounterState::NotApplicable, CounterState::NotApplicable,
                              CounterState::NotApplicable};
    std::array<std::uint8_t, platform::DiskDevice::kSectorSize> l_Page{};
    if (!p_Device.NvmeHealthPage(p_hDrive, l_Page.data())) {
        return l_Reading;
    }
    const NvmeHealth l_Parsed = ParseHealthPage(l_Page.data());
    l_Reading.answered = true;
    l_Health.source = MBDataAquisition::DiskSource::Nvme;
    l_Health.counters[0] = l_Parsed.PowerOnHours;
    l_Health.counters[1] = l_Parsed.MediaErrors;
    l_Health.counterStates[0] = l_Health.counterStates[1] = CounterState::Read;
    l_Health.criticalWarning = l_Parsed.CriticalWarning;
    l_Health.percentageUsed = l_Parsed.PercentageUsed;
    l_Health.temperature = l_Parsed.Temperature;
    return l_Reading;
}

}  // namespace diag
