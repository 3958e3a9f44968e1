#pragma once

#include <cstdint>
#include <string>

namespace MBDataAquisition {

// The physical drive that the disk source watches, and the level-0 log line that names it.
struct SystemDiskChoice {
    std::uint8_t drive = 0;
    std::wstring line;  // "System disk: drive 1", or why it is drive 0
};

// The physical drive that holds the volume of the Windows directory (the drive letter of
// %SystemRoot%, "C:" without it), asked of the volume with desired access 0: the disk of its
// first extent (a volume on several disks is watched through that one, and the line says so).
// Key "Drive" of section "HDD" in Computer.ini, a number from 0 to 255, overrides the search.
// Anything else (a volume that cannot be opened, a failed query, a disk beyond 255, a key that is
// no drive number) gives drive 0, and the line says why. Logs nothing itself; never throws.
SystemDiskChoice ChooseSystemDisk() noexcept;

}  // namespace MBDataAquisition
