#pragma once

namespace MBDataAquisition {

// Which interface answered the disk source's last refresh of drive 0.
enum class DiskSource { None, Ata, Nvme };

}  // namespace MBDataAquisition
