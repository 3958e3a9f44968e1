#pragma once

#include "platform/disk_device.h"

#include <map>
#include <mutex>
#include <string>

namespace platform {

// The posix substitute for the physical drives and the system volume, from the files of a folder:
// - "\\.\PHYSICALDRIVEn" is "PhysicalDriven.bin", the drive's 512-byte S.M.A.R.T. attribute data
//   block, or else "PhysicalDriven.nvme", an NVMe drive's 512-byte SMART / Health Information log
//   page (a shorter file is padded with zeros). A missing file is a missing drive.
// - Beside an ATA drive: "PhysicalDriven.thr" its 512-byte threshold block,
// "PhysicalDriven.failing"
//   (when present the drive reports a threshold exceeded, to RETURN SMART STATUS and to the
//   predict-failure query), "PhysicalDriven.devstat" its Device Statistics log (page k at byte
//   512·k; READ LOG EXT through the ATA pass-through and SMART READ LOG read it). Beside any drive:
//   "PhysicalDriven.ident", two lines, the model and the serial number of its device descriptor.
// - "\\.\X:" is the system volume: "SystemDrive" holds the number of the drive it lies on, or
//   one number for each of its extents. Without the file the volume query fails (error 1).
// Every drive answers the storage property query of its device descriptor (bus type SATA or
// NVMe); an ATA drive answers the S.M.A.R.T. control codes, the pass-through and the predict-
// failure query, an NVMe drive fails them, as the NVMe driver does, and answers the query of its
// health page instead. A handle opened for queries only answers the property and predict-failure
// queries (error 5 otherwise). The files are read anew by every call.
class SmartFolder final : public DiskDevice {
public:
    // An empty folder has no drives. `needsAdministrator`: the machine acts as an account without
    // administrator rights: a drive opens for reading and writing (Open) only while the calling
    // thread impersonates a logged-on account, and fails with error 5 otherwise.
    explicit SmartFolder(std::string folder = {}, bool needsAdministrator = false);

    Handle Open(const std::wstring& path) override;
    Handle OpenForQuery(const std::wstring& path) override;
    int Control(Handle handle, std::uint32_t code, const void* input, std::uint32_t inputSize,
                void* output, std::uint32_t outputSize, std::uint32_t& bytesReturned) override;
    void Close(Handle handle) override;

    // What a handle of this device names.
    struct OpenFile {
        std::string base;  // the folder's "PhysicalDriven" path, or the folder for the volume
        bool nvme = false;
        bool volume = false;
        bool queryOnly = false;
    };

private:
    Handle Add(OpenFile file);

    std::string m_strFolder;
    bool m_bNeedsAdministrator = false;
    std::mutex m_Mutex;
    std::map<Handle, OpenFile> m_OpenFiles;
    Handle m_nNextHandle = 0x100;
};

}  // namespace platform
