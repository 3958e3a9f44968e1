#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/byte_order.h"

// The volume driver's query of the disks a volume lies on (IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS):
// VOLUME_DISK_EXTENTS with its DISK_EXTENTs, written out byte by byte so portable code, the
// posix substitute and test fakes share one definition; the win32 disk device pins every value
// here against the Windows headers (the same on x86 and x64: LARGE_INTEGER is 8-aligned on both).
namespace platform::volume {

inline constexpr std::uint32_t kGetDiskExtents = 0x560000;  // IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS

inline constexpr std::size_t kExtentCountOffset = 0;  // NumberOfDiskExtents
inline constexpr std::size_t kFirstExtentOffset = 8;  // Extents[0]
inline constexpr std::size_t kExtentDiskNumberOffset = 0;
inline constexpr std::size_t kExtentSize = 24;   // sizeof(DISK_EXTENT)
inline constexpr std::size_t kExtentsSize = 32;  // sizeof(VOLUME_DISK_EXTENTS): one extent

// The answer's size for `count` extents. A buffer too small for all of them fails the query with
// ERROR_MORE_DATA and the count of extents in the part that fits.
constexpr std::size_t ExtentsSize(std::size_t count)
{
    return kFirstExtentOffset + kExtentSize * (count == 0 ? 1 : count);
}

// One extent on `disk`, as the driver writes it into `out` (kExtentsSize bytes).
constexpr void EncodeOneExtent(std::uint8_t* out, std::uint32_t disk)
{
    for (std::size_t i = 0; i < kExtentsSize; ++i) {
        out[i] = 0;
    }
    le::Store32(out + kExtentCountOffset, 1);
    le::Store32(out + kFirstExtentOffset + kExtentDiskNumberOffset, disk);
}

}  // namespace platform::volume
