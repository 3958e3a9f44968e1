#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace diag {

// What the storage device descriptor (STORAGE_DEVICE_DESCRIPTOR) says of a drive.
struct DeviceDescriptor {
    std::uint32_t busType = 0;
    // The vendor and the product texts joined by a space (the product alone when the vendor is
    // empty or "ATA"), without the padding spaces drives add.
    std::wstring model;
    std::wstring serial;  // the serial number text, likewise
};

// The descriptor of which `p_nSize` bytes were returned: nothing when the answer or the
// descriptor's own size ends before the bus type. A text counts when its offset is non-zero and
// inside both, and it ends at its NUL or at the end of either; its bytes are read as Latin-1.
std::optional<DeviceDescriptor> ParseDeviceDescriptor(const std::uint8_t* p_pAnswer,
                                                      std::size_t p_nSize);

}  // namespace diag
