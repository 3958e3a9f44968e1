#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/handle.h"

namespace platform {

// The registers of an ATA command, and those the drive returns after it: the status in place of
// the command, the error in place of the features.
struct AtaRegisters {
    std::uint8_t features = 0;
    std::uint8_t sectorCount = 0;
    std::uint8_t lbaLow = 0;
    std::uint8_t lbaMid = 0;
    std::uint8_t lbaHigh = 0;
    std::uint8_t device = 0;
    std::uint8_t command = 0;
};

// The bus types of a device descriptor (STORAGE_BUS_TYPE) that the disk source tells apart, and
// their names as the metrics label a drive's bus.
namespace bus {
inline constexpr std::uint32_t kUnknown = 0;
inline constexpr std::uint32_t kScsi = 1;
inline constexpr std::uint32_t kAta = 3;
inline constexpr std::uint32_t kUsb = 7;
inline constexpr std::uint32_t kRaid = 8;
inline constexpr std::uint32_t kSas = 10;
inline constexpr std::uint32_t kSata = 11;
inline constexpr std::uint32_t kNvme = 17;

struct Name {
    std::uint32_t busType;
    const wchar_t* name;
};
inline constexpr Name kNames[] = {{kUnknown, L"unknown"}, {kScsi, L"scsi"}, {kAta, L"ata"},
                                  {kUsb, L"usb"},         {kRaid, L"raid"}, {kSas, L"sas"},
                                  {kSata, L"sata"},       {kNvme, L"nvme"}};

// "unknown" for a drive without descriptor, "other" for a bus not named.
inline const wchar_t* NameOf(std::uint32_t busType)
{
    for (const Name& entry : kNames) {
        if (entry.busType == busType) {
            return entry.name;
        }
    }
    return L"other";
}
}  // namespace bus

// What a drive's device descriptor names, its texts as the driver gives them.
struct StorageDescriptor {
    std::uint32_t busType = 0;  // STORAGE_BUS_TYPE: 3 ATA, 8 RAID, 11 SATA, 17 NVMe, ...
    std::string vendor;
    std::string product;
    std::string serial;
};

// Physical drives and volumes, spoken to in the drives' protocols: ATA commands with their
// registers and data, the NVMe health page, the predict-failure query, the device descriptor and
// the disks of a volume. Only the win32 implementation knows how the disk driver wants each one
// asked; the posix substitute answers from a model of each drive. Every call that fails leaves
// its reason in GetLastErrorCode().
class DiskDevice {
public:
    using Handle = platform::Handle;
    static constexpr std::size_t kSectorSize = 512;

    virtual ~DiskDevice() = default;

    // Opens "\\.\PHYSICALDRIVEn" for reading and writing (administrator rights), shared for
    // reading and writing. kInvalidHandle on failure.
    virtual Handle Open(const std::wstring& path) = 0;
    // Opens a drive or a volume ("\\.\C:") with desired access 0: no rights needed, and only
    // the descriptor, the predict-failure query, the NVMe health page and a volume's disks
    // answer on the handle. kInvalidHandle on failure.
    virtual Handle OpenForQuery(const std::wstring& path) = 0;
    // Closes a handle of Open or OpenForQuery; an invalid handle is ignored.
    virtual void Close(Handle handle) = 0;

    // An ATA command, and `dataSize` bytes of data read from the drive (0: no data; otherwise a
    // multiple of kSectorSize). True when the driver carried the command out, with the drive's
    // registers in `out` (ERR or DF in the status: the drive aborted it); false when the driver
    // refused it or reported an error.
    virtual bool AtaCommand(Handle drive, const AtaRegisters& in, AtaRegisters& out,
                            std::uint8_t* data, std::size_t dataSize) = 0;
    // An NVMe drive's SMART / Health Information log page: kSectorSize bytes into `page`.
    virtual bool NvmeHealthPage(Handle drive, std::uint8_t* page) = 0;
    // The drive's own verdict and kSectorSize bytes of its vendor data (an ATA drive's attribute
    // data block; zeros when the verdict comes from SCSI sense data).
    virtual bool PredictFailure(Handle drive, bool& predicted, std::uint8_t* data) = 0;
    virtual bool Descriptor(Handle drive, StorageDescriptor& descriptor) = 0;
    // The disk number of each of a volume's extents, in the volume's order.
    virtual bool VolumeDiskExtents(Handle volume, std::vector<std::uint32_t>& disks) = 0;

    static DiskDevice& System();
};

// "\\.\PHYSICALDRIVEn", the path that opens physical drive n.
std::wstring PhysicalDrivePath(std::uint32_t drive);
// The n of "\\.\PHYSICALDRIVEn" (the prefix without regard to case, n of one to three decimal
// digits); nothing for any other path.
std::optional<std::uint32_t> PhysicalDriveNumber(const std::wstring& path);

}  // namespace platform
