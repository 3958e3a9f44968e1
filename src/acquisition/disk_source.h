#pragma once

namespace MBDataAquisition {

// Which interface answered the disk source's last refresh of the system disk.
enum class DiskSource { None, Ata, Nvme };

// The names of a disk source: as the values file's heartbeat and the status table write it, and
// as the metrics label it.
struct DiskSourceNames {
    DiskSource source;
    const wchar_t* name;
    const wchar_t* label;
};
inline constexpr DiskSourceNames kDiskSourceNames[] = {{DiskSource::None, L"none", L"none"},
                                                       {DiskSource::Ata, L"ATA", L"ata"},
                                                       {DiskSource::Nvme, L"NVMe", L"nvme"}};

// The names of `source`; those of None for a value outside the enumeration.
inline const DiskSourceNames& NamesOf(DiskSource source)
{
    for (const DiskSourceNames& entry : kDiskSourceNames) {
        if (entry.source == source) {
            return entry;
        }
    }
    return kDiskSourceNames[0];
}

}  // namespace MBDataAquisition
