#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <unordered_map>

#include "acquisition/smart_attribute.h"
#include "platform/disk_device.h"

namespace diag {

// The threshold of each attribute ID, from a drive's 512-byte threshold block (READ THRESHOLDS):
// 30 entries of 12 bytes from offset 2, each the ID and its threshold. Of two entries with one ID
// the first is kept.
using SmartThresholds = std::unordered_map<std::uint8_t, std::uint8_t>;
SmartThresholds ParseThresholdBlock(const std::uint8_t* p_pBlock);

// A pre-failure attribute (status flag bit 0) whose current normalised value is at or below its
// non-zero threshold.
bool AttributeAtThreshold(const SmartTable& p_Attributes, const SmartThresholds& p_Thresholds);

// The verdict of SMART RETURN STATUS from the registers the drive returned: true for a threshold
// exceeded (LBA mid and high F4h/2Ch), false for none (4Fh/C2h), nothing for any other answer.
std::optional<bool> ParseStatusRegisters(const platform::AtaRegisters& p_Registers);

// The readings the monitor takes from the Device Statistics log (log address 04h).
struct DeviceStatistics {
    std::optional<std::int32_t> temperature;     // page 05h, current temperature, degrees Celsius
    std::optional<std::int32_t> percentageUsed;  // page 07h, percentage used endurance indicator
};

// Page `p_nPage` is in the list of supported pages (page 0: the count at byte 8, the page numbers
// from byte 9). A page 0 whose own header does not name page 0 lists nothing.
bool ListsPage(const std::uint8_t* p_pList, std::uint8_t p_nPage);

// The readings of pages 05h and 07h (each 512 bytes, or null when not read). A statistic counts
// only when its page's header names the page and the statistic's supported (bit 63) and valid
// (bit 62) flags are both set.
DeviceStatistics ParseDeviceStatistics(const std::uint8_t* p_pTemperaturePage,
                                       const std::uint8_t* p_pSolidStatePage);

}  // namespace diag
