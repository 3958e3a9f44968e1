#include "standins/drive_bay.h"

#include <chrono>
#include <cwctype>
#include <thread>

#include "platform/last_error.h"

namespace platform {

namespace {

// "\\.\X:" with X a letter.
bool IsVolumePath(const std::wstring& path)
{
    return path.size() == 6 && path.compare(0, 4, L"\\\\.\\") == 0 &&
           std::iswalpha(static_cast<wint_t>(path[4])) && path[5] == L':';
}

// A drive that hangs, as a failing one does: the call never returns.
[[noreturn]] void BlockForEver()
{
    for (;;) {
        std::this_thread::sleep_for(std::chrono::hours(1));
    }
}

Handle Failed(unsigned long code)
{
    SetLastErrorCode(code);
    return kInvalidHandle;
}

}  // namespace

DiskDevice::Handle DriveBay::Add(OpenDrive drive)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    const Handle handle = m_nNext++;
    m_Open.emplace(handle, std::move(drive));
    return handle;
}

DiskDevice::Handle DriveBay::OpenForQuery(const std::wstring& path)
{
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_OpenedForQuery.push_back(path);
    }
    if (IsVolumePath(path)) {
        if (!Volume()) {
            return Failed(kErrorFileNotFound);
        }
        OpenDrive volume;
        volume.volume = true;
        volume.queryOnly = true;
        return Add(std::move(volume));
    }
    const std::optional<std::uint32_t> number = PhysicalDriveNumber(path);
    std::optional<DriveModel> model = number ? Find(*number) : std::nullopt;
    if (!model) {
        return Failed(kErrorFileNotFound);
    }
    if (model->behaviour.blocks) {
        BlockForEver();
    }
    OpenDrive drive;
    drive.drive = *number;
    drive.queryOnly = true;
    drive.model = std::move(*model);
    return Add(std::move(drive));
}

DiskDevice::Handle DriveBay::Open(const std::wstring& path)
{
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_Opened.push_back(path);
    }
    const std::optional<std::uint32_t> number = PhysicalDriveNumber(path);
    std::optional<DriveModel> model = number ? Find(*number) : std::nullopt;
    if (!model) {
        return Failed(IsVolumePath(path) ? kErrorAccessDenied : kErrorFileNotFound);
    }
    if (model->behaviour.blocks) {
        BlockForEver();
    }
    if (model->behaviour.noRightsOnly || !HasAdministratorRights()) {
        return Failed(kErrorAccessDenied);
    }
    OpenDrive drive;
    drive.drive = *number;
    drive.model = std::move(*model);
    return Add(std::move(drive));
}

void DriveBay::Close(Handle handle)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Open.erase(handle);
}

bool DriveBay::Lookup(Handle handle, bool needsRights, OpenDrive& drive)
{
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        const auto found = m_Open.find(handle);
        if (found == m_Open.end()) {
            SetLastErrorCode(kErrorInvalidHandle);
            return false;
        }
        drive = found->second;
    }
    if (drive.model.behaviour.blocks) {
        BlockForEver();
    }
    if (drive.volume || (needsRights && drive.queryOnly)) {
        SetLastErrorCode(drive.volume ? kErrorInvalidFunction : kErrorAccessDenied);
        return false;
    }
    return true;
}

bool DriveBay::AtaCommand(Handle handle, const AtaRegisters& in, AtaRegisters& out,
                          std::uint8_t* data, std::size_t dataSize)
{
    OpenDrive drive;
    if (!Lookup(handle, true, drive)) {
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_AtaCalls.push_back({drive.drive, in, dataSize});
    }
    return drive.model.Ata(in, out, data, dataSize);
}

bool DriveBay::NvmeHealthPage(Handle handle, std::uint8_t* page)
{
    OpenDrive drive;
    if (!Lookup(handle, false, drive)) {
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_HealthPageReads.push_back(drive.drive);
    }
    return drive.model.HealthPage(page);
}

bool DriveBay::PredictFailure(Handle handle, bool& predicted, std::uint8_t* data)
{
    OpenDrive drive;
    return Lookup(handle, false, drive) && drive.model.PredictFailure(predicted, data);
}

bool DriveBay::Descriptor(Handle handle, StorageDescriptor& descriptor)
{
    OpenDrive drive;
    return Lookup(handle, false, drive) && drive.model.Descriptor(descriptor);
}

bool DriveBay::VolumeDiskExtents(Handle handle, std::vector<std::uint32_t>& disks)
{
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        const auto found = m_Open.find(handle);
        if (found == m_Open.end() || !found->second.volume) {
            SetLastErrorCode(found == m_Open.end() ? kErrorInvalidHandle : kErrorInvalidFunction);
            return false;
        }
    }
    const std::optional<std::vector<std::uint32_t>> volume = Volume();
    if (!volume || volume->empty()) {
        SetLastErrorCode(kErrorInvalidFunction);
        return false;
    }
    disks = *volume;
    return true;
}

DriveModel& DriveBay::Drive(std::uint32_t drive)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Drives[drive];
}

void DriveBay::Remove(std::uint32_t drive)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Drives.erase(drive);
}

void DriveBay::SetVolume(std::optional<std::vector<std::uint32_t>> disks)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Volume = std::move(disks);
}

void DriveBay::SetAdministrator(bool administrator)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_bAdministrator = administrator;
}

std::optional<DriveModel> DriveBay::Find(std::uint32_t drive)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    const auto found = m_Drives.find(drive);
    if (found == m_Drives.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::optional<std::vector<std::uint32_t>> DriveBay::Volume()
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Volume;
}

bool DriveBay::HasAdministratorRights()
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_bAdministrator;
}

std::vector<std::wstring> DriveBay::Opened() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Opened;
}

std::vector<std::wstring> DriveBay::OpenedForQuery() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_OpenedForQuery;
}

std::vector<DriveBay::AtaCall> DriveBay::AtaCalls() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_AtaCalls;
}

std::vector<std::uint32_t> DriveBay::HealthPageReads() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_HealthPageReads;
}

std::size_t DriveBay::OpenHandles() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Open.size();
}

}  // namespace platform
