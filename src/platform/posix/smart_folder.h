#pragma once

#include <string>

#include "standins/drive_bay.h"

namespace platform {

// The posix substitute for the physical drives and the system volume: a drive bay whose drives are
// read from the files of a folder, anew at every open.
// - Drive n is "PhysicalDriven.bin", its 512-byte S.M.A.R.T. attribute data block, or else
//   "PhysicalDriven.nvme", an NVMe drive's 512-byte SMART / Health Information log page (a shorter
//   file is padded with zeros). A missing file is a missing drive.
// - Beside an ATA drive: "PhysicalDriven.thr" its threshold block, "PhysicalDriven.failing"
//   (present: the drive reports a threshold exceeded), "PhysicalDriven.devstat" its Device
//   Statistics log (page k at byte 512·k). Beside any drive: "PhysicalDriven.ident", two lines,
//   the model and the serial number of its device descriptor, and "PhysicalDriven.behaviour",
//   one flag of DriveBehaviour a line ("refuses-pass-through", "aborts-read-log-ext",
//   "driver-error", "sense-only", "no-rights-only", "blocks"); other lines are ignored.
// - "\\.\X:" is the system volume: "SystemDrive" holds the number of the drive it lies on, or one
//   number for each of its extents. Without the file the volume query fails (error 1).
class SmartFolder final : public DriveBay {
public:
    // An empty folder has no drives. `needsAdministrator`: the machine acts as an account without
    // administrator rights: a drive opens for reading and writing only while the calling thread
    // impersonates a logged-on account.
    explicit SmartFolder(std::string folder = {}, bool needsAdministrator = false);

protected:
    std::optional<DriveModel> Find(std::uint32_t drive) override;
    std::optional<std::vector<std::uint32_t>> Volume() override;
    bool HasAdministratorRights() override;

private:
    std::string m_strFolder;
    bool m_bNeedsAdministrator = false;
};

}  // namespace platform
