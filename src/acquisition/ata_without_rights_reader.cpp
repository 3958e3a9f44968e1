#include "acquisition/ata_without_rights_reader.h"

#include "acquisition/ata_reader.h"

#include <algorithm>
#include <array>
#include <utility>

namespace diag {

DriveReading ReadAtaWithoutRights(platform::DiskDevice& p_Device, platform::Handle p_hDrive)
{
    DriveReading l_Reading;
    bool l_bPredicted = false;
    std::array<std::uint8_t, platform::DiskDevice::kSectorSize> l_Data{};
    if (!p_Device.PredictFailure(p_hDrive, l_bPredicted, l_Data.data())) {
        return l_Reading;
    }
    l_Reading.answered = true;
    l_Reading.health.criticalWarning = l_bPredicted ? 1 : 0;
    SmartTable l_Table = ParseAttributeBlock(l_Data.data());
    // Read as attributes, a block that names none would show five sound zeros.
    if (std::any_of(l_Table.begin(), l_Table.end(),
                    [](const auto& p_Entry) { return p_Entry.first != 0; })) {
        TakeAttributes(l_Table, l_Reading.health);
        l_Reading.attributes = std::move(l_Table);
    }
    return l_Reading;
}

}  // namespace diag
