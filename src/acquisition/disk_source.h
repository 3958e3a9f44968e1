#pragma once

namespace MBDataAquisition {

// Which interface answered the disk source's last refresh of the system disk.
enum class DiskSource { None, Ata, Nvme };

}  // namespace MBDataAquisition
