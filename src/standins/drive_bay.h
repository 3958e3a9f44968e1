#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/disk_device.h"
#include "standins/drive_model.h"

namespace platform {

// Physical drives and the system volume behind the disk device seam, each drive a DriveModel:
// "\\.\PHYSICALDRIVEn" is drive n (a missing drive fails with error 2), "\\.\X:" the volume of
// the Windows directory. A drive opens for reading and writing only with administrator rights
// (error 5 otherwise); a handle opened for queries answers the descriptor, the predict-failure
// query and the NVMe health page, and fails the ATA commands with error 5. Every call is recorded
// for the tests. Thread-safe.
class DriveBay : public DiskDevice {
public:
    // One ATA command as a drive received it.
    struct AtaCall {
        std::uint32_t drive = 0;
        AtaRegisters registers;
        std::size_t dataSize = 0;
    };

    DriveBay() = default;

    Handle Open(const std::wstring& path) override;
    Handle OpenForQuery(const std::wstring& path) override;
    void Close(Handle handle) override;
    bool AtaCommand(Handle drive, const AtaRegisters& in, AtaRegisters& out, std::uint8_t* data,
                    std::size_t dataSize) override;
    bool NvmeHealthPage(Handle drive, std::uint8_t* page) override;
    bool PredictFailure(Handle drive, bool& predicted, std::uint8_t* data) override;
    bool Descriptor(Handle drive, StorageDescriptor& descriptor) override;
    bool VolumeDiskExtents(Handle volume, std::vector<std::uint32_t>& disks) override;

    // The drives by number, for a test to fill; Drive adds one.
    DriveModel& Drive(std::uint32_t drive);
    void Remove(std::uint32_t drive);
    // The disks of the volume's extents; nothing: the volume cannot be opened (error 2); none:
    // the query fails (error 1).
    void SetVolume(std::optional<std::vector<std::uint32_t>> disks);
    // The calling thread acts with administrator rights (true until set otherwise).
    void SetAdministrator(bool administrator);

    // What was asked so far.
    std::vector<std::wstring> Opened() const;
    std::vector<std::wstring> OpenedForQuery() const;
    std::vector<AtaCall> AtaCalls() const;
    // The drives whose NVMe health page was asked for, in order.
    std::vector<std::uint32_t> HealthPageReads() const;
    std::size_t OpenHandles() const;

protected:
    // The drive as a call finds it; a drive folder reads it anew here.
    virtual std::optional<DriveModel> Find(std::uint32_t drive);
    virtual std::optional<std::vector<std::uint32_t>> Volume();
    virtual bool HasAdministratorRights();

private:
    struct OpenDrive {
        std::uint32_t drive = 0;
        bool volume = false;
        bool queryOnly = false;
        DriveModel model;
    };
    Handle Add(OpenDrive drive);
    // The open drive of a handle; false with error 6 for a handle that is none, 5 for a handle
    // opened for queries when `needsRights`. A blocking drive waits here for ever.
    bool Lookup(Handle handle, bool needsRights, OpenDrive& drive);

    mutable std::mutex m_Mutex;
    std::map<std::uint32_t, DriveModel> m_Drives;
    std::optional<std::vector<std::uint32_t>> m_Volume;
    bool m_bAdministrator = true;
    std::map<Handle, OpenDrive> m_Open;
    Handle m_nNext = 0x100;
    std::vector<std::wstring> m_Opened;
    std::vector<std::wstring> m_OpenedForQuery;
    std::vector<AtaCall> m_AtaCalls;
    std::vector<std::uint32_t> m_HealthPageReads;
};

}  // namespace platform
