#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/disk_device.h"

namespace diag {

// What the storage device descriptor (STORAGE_DEVICE_DESCRIPTOR) says of a drive.
struct DeviceDescriptor {
    std::uint32_t busType = 0;
    // The vendor and the product texts joined by a space (the product alone when the vendor is
    // empty or "ATA"), without the padding spaces drives add.
    std::wstring model;
    std::wstring serial;  // the serial number text, likewise
};

// The descriptor as the disk source shows it: texts read as Latin-1 and trimmed of padding, the
// vendor joined to the product.
DeviceDescriptor Describe(const platform::StorageDescriptor& p_Descriptor);

// The drive gave a descriptor, and it names the bus `p_nBusType` (platform::bus).
inline bool NamesBus(const std::optional<DeviceDescriptor>& p_Descriptor, std::uint32_t p_nBusType)
{
    return p_Descriptor && p_Descriptor->busType == p_nBusType;
}

}  // namespace diag
