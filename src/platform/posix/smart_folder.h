#pragma once

#include "platform/disk_device.h"

#include <map>
#include <mutex>
#include <string>

namespace platform {

// The posix substitute for the physical drives: "\\.\PHYSICALDRIVEn" is the file
// "PhysicalDriven.bin" in a folder, holding the drive's 512-byte S.M.A.R.T. attribute data block,
// or else "PhysicalDriven.nvme", holding an NVMe drive's 512-byte SMART / Health Information log
// page (a shorter file is padded with zeros). A missing file is a missing drive. Every drive
// answers the storage property query of its device descriptor (bus type SATA or NVMe); a ".bin"
// drive answers the three S.M.A.R.T. control codes, a ".nvme" drive fails them, as the NVMe
// driver does, and answers the query of its health page instead. The file is read anew by every
// read.
class SmartFolder final : public DiskDevice {
public:
    // An empty folder has no drives.
    explicit SmartFolder(std::string folder = {});

    Handle Open(const std::wstring& path) override;
    int Control(Handle handle, std::uint32_t code, const void* input, std::uint32_t inputSize,
                void* output, std::uint32_t outputSize, std::uint32_t& bytesReturned) override;
    void Close(Handle handle) override;

private:
    std::string m_strFolder;
    std::mutex m_Mutex;
    std::map<Handle, std::string> m_OpenFiles;
    Handle m_nNextHandle = 0x100;
};

}  // namespace platform
