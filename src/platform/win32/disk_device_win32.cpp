#include "platform/disk_device.h"

#include "platform/ata_commands.h"
#include "platform/last_error.h"
#include "platform/nvme_log.h"
#include "platform/win32/storage_layout.h"

#include <windows.h>
#include <winioctl.h>
#include <ntddscsi.h>
#include <nvme.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

namespace platform {

// The protocol's values as the SDK names them.
static_assert(ata::kSmart == SMART_CMD);
static_assert(ata::kReadAttributes == READ_ATTRIBUTES && ata::kReadThresholds == READ_THRESHOLDS &&
              ata::kReadLog == SMART_READ_LOG && ata::kEnable == ENABLE_SMART &&
              ata::kReturnStatus == RETURN_SMART_STATUS &&
              ata::kAutoOffline == ENABLE_DISABLE_AUTO_OFFLINE);
static_assert(ata::kSignatureMid == SMART_CYL_LOW && ata::kSignatureHigh == SMART_CYL_HI);
static_assert(DiskDevice::kSectorSize == READ_ATTRIBUTE_BUFFER_SIZE &&
              DiskDevice::kSectorSize == READ_THRESHOLD_BUFFER_SIZE);
static_assert(nvme::kPageSize == sizeof(NVME_HEALTH_INFO_LOG));
static_assert(nvme::kCriticalWarningOffset == offsetof(NVME_HEALTH_INFO_LOG, CriticalWarning) &&
              nvme::kCompositeTemperatureOffset == offsetof(NVME_HEALTH_INFO_LOG, Temperature) &&
              nvme::kPercentageUsedOffset == offsetof(NVME_HEALTH_INFO_LOG, PercentageUsed) &&
              nvme::kPowerOnHoursOffset == offsetof(NVME_HEALTH_INFO_LOG, PowerOnHours) &&
              nvme::kMediaErrorsOffset == offsetof(NVME_HEALTH_INFO_LOG, MediaErrors));
static_assert(sizeof(NVME_HEALTH_INFO_LOG::PowerOnHours) == 16 &&
              sizeof(NVME_HEALTH_INFO_LOG::MediaErrors) == 16 &&
              sizeof(NVME_HEALTH_INFO_LOG::Temperature) == 2);

// The S.M.A.R.T. control codes' buffers as the disk driver interface lays them out.
static_assert(sizeof(GETVERSIONINPARAMS) == 24);
static_assert(sizeof(SENDCMDINPARAMS) == 33 && sizeof(SENDCMDOUTPARAMS) == 17);
static_assert(sizeof(IDEREGS) == 8 && sizeof(DRIVERSTATUS) == 12);
static_assert(offsetof(SENDCMDINPARAMS, irDriveRegs) == 4 &&
              offsetof(SENDCMDINPARAMS, bDriveNumber) == 12);
static_assert(offsetof(SENDCMDOUTPARAMS, DriverStatus) == 4 &&
              offsetof(SENDCMDOUTPARAMS, bBuffer) == 16);
// The ATA pass-through's header holds a ULONG_PTR: its size follows the pointer's.
static_assert(sizeof(ATA_PASS_THROUGH_EX) == (sizeof(void*) == 8 ? 48 : 40));

// The storage queries' layouts, said once in storage_layout.h.
static_assert(storage::kQueryProperty == IOCTL_STORAGE_QUERY_PROPERTY);
static_assert(storage::kDeviceProperty == StorageDeviceProperty);
static_assert(storage::kDeviceProtocolSpecificProperty == StorageDeviceProtocolSpecificProperty);
static_assert(storage::kStandardQuery == PropertyStandardQuery);
static_assert(storage::kQuerySize == sizeof(STORAGE_PROPERTY_QUERY));
static_assert(storage::kQueryPropertyIdOffset == offsetof(STORAGE_PROPERTY_QUERY, PropertyId));
static_assert(storage::kQueryTypeOffset == offsetof(STORAGE_PROPERTY_QUERY, QueryType));
static_assert(storage::kQueryParametersOffset ==
              offsetof(STORAGE_PROPERTY_QUERY, AdditionalParameters));
static_assert(sizeof(STORAGE_PROPERTY_ID) == 4 && sizeof(STORAGE_QUERY_TYPE) == 4);
static_assert(storage::kDeviceDescriptorSize == sizeof(STORAGE_DEVICE_DESCRIPTOR));
static_assert(storage::kDescriptorVersionOffset == offsetof(STORAGE_DEVICE_DESCRIPTOR, Version));
static_assert(storage::kDescriptorSizeOffset == offsetof(STORAGE_DEVICE_DESCRIPTOR, Size));
static_assert(storage::kVendorIdOffsetOffset ==
              offsetof(STORAGE_DEVICE_DESCRIPTOR, VendorIdOffset));
static_assert(storage::kProductIdOffsetOffset ==
              offsetof(STORAGE_DEVICE_DESCRIPTOR, ProductIdOffset));
static_assert(storage::kSerialNumberOffsetOffset ==
              offsetof(STORAGE_DEVICE_DESCRIPTOR, SerialNumberOffset));
static_assert(storage::kDeviceBusTypeOffset == offsetof(STORAGE_DEVICE_DESCRIPTOR, BusType));
static_assert(sizeof(STORAGE_BUS_TYPE) == 4);
static_assert(storage::kProtocolTypeNvme == ProtocolTypeNvme);
static_assert(storage::kNvmeDataTypeLogPage == NVMeDataTypeLogPage);
static_assert(storage::kProtocolDataSize == sizeof(STORAGE_PROTOCOL_SPECIFIC_DATA));
static_assert(storage::kProtocolTypeOffset ==
              offsetof(STORAGE_PROTOCOL_SPECIFIC_DATA, ProtocolType));
static_assert(storage::kDataTypeOffset == offsetof(STORAGE_PROTOCOL_SPECIFIC_DATA, DataType));
static_assert(storage::kRequestValueOffset ==
              offsetof(STORAGE_PROTOCOL_SPECIFIC_DATA, ProtocolDataRequestValue));
static_assert(storage::kRequestSubValueOffset ==
              offsetof(STORAGE_PROTOCOL_SPECIFIC_DATA, ProtocolDataRequestSubValue));
static_assert(storage::kDataOffsetOffset ==
              offsetof(STORAGE_PROTOCOL_SPECIFIC_DATA, ProtocolDataOffset));
static_assert(storage::kDataLengthOffset ==
              offsetof(STORAGE_PROTOCOL_SPECIFIC_DATA, ProtocolDataLength));
static_assert(storage::kProtocolDescriptorSize == sizeof(STORAGE_PROTOCOL_DATA_DESCRIPTOR));
static_assert(storage::kDescriptorVersionOffset ==
                  offsetof(STORAGE_PROTOCOL_DATA_DESCRIPTOR, Version) &&
              storage::kDescriptorSizeOffset == offsetof(STORAGE_PROTOCOL_DATA_DESCRIPTOR, Size));
static_assert(storage::kProtocolDescriptorDataOffset ==
              offsetof(STORAGE_PROTOCOL_DATA_DESCRIPTOR, ProtocolSpecificData));
static_assert(storage::kHealthLogPage == NVME_LOG_PAGE_HEALTH_INFO);
static_assert(storage::kHealthQuerySize <= offsetof(STORAGE_PROPERTY_QUERY, AdditionalParameters) +
                                               sizeof(STORAGE_PROTOCOL_SPECIFIC_DATA) +
                                               NVME_MAX_LOG_SIZE);
static_assert(sizeof(STORAGE_PREDICT_FAILURE) == 4 + DiskDevice::kSectorSize);
static_assert(bus::kUnknown == BusTypeUnknown && bus::kScsi == BusTypeScsi &&
              bus::kAta == BusTypeAta && bus::kUsb == BusTypeUsb && bus::kRaid == BusTypeRAID &&
              bus::kSas == BusTypeSas && bus::kSata == BusTypeSata && bus::kNvme == BusTypeNvme);

namespace {

HANDLE ToHandle(DiskDevice::Handle handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

// DeviceIoControl with the same buffer sizes typed as the disk source needs them.
bool Control(DiskDevice::Handle handle, DWORD code, const void* input, std::size_t inputSize,
             void* output, std::size_t outputSize, DWORD& bytes)
{
    bytes = 0;
    return DeviceIoControl(ToHandle(handle), code, const_cast<void*>(input),
                           static_cast<DWORD>(inputSize), output, static_cast<DWORD>(outputSize),
                           &bytes, nullptr) != FALSE;
}

bool Failed(unsigned long code)
{
    SetLastErrorCode(code);
    return false;
}

IDEREGS ToIdeRegisters(const AtaRegisters& in)
{
    IDEREGS regs{};
    regs.bFeaturesReg = in.features;
    regs.bSectorCountReg = in.sectorCount;
    regs.bSectorNumberReg = in.lbaLow;
    regs.bCylLowReg = in.lbaMid;
    regs.bCylHighReg = in.lbaHigh;
    regs.bDriveHeadReg = in.device;
    regs.bCommandReg = in.command;
    return regs;
}

// SMART commands go through the disk driver's S.M.A.R.T. control codes, which every ATA driver
// answers (the pass-through needs a driver that allows it): the reads of data through
// SMART_RCV_DRIVE_DATA, the rest through SMART_SEND_DRIVE_COMMAND. A call that succeeds but
// reports a driver error in its status block (DRIVERSTATUS) did not reach the drive.
bool SmartCommand(DiskDevice::Handle drive, std::uint8_t number, const AtaRegisters& in,
                  AtaRegisters& out, std::uint8_t* data, std::size_t dataSize)
{
    GETVERSIONINPARAMS version{};
    DWORD bytes = 0;
    if (!Control(drive, SMART_GET_VERSION, nullptr, 0, &version, sizeof version, bytes)) {
        return false;
    }
    if ((version.fCapabilities & CAP_SMART_CMD) == 0) {
        return Failed(kErrorNotSupported);
    }
    SENDCMDINPARAMS command{};
    command.cBufferSize = static_cast<DWORD>(dataSize);
    command.irDriveRegs = ToIdeRegisters(in);
    command.bDriveNumber = number;
    const bool receives = in.features == ata::kReadAttributes ||
                          in.features == ata::kReadThresholds || in.features == ata::kReadLog;
    const bool status = in.features == ata::kReturnStatus;
    // SMART READ LOG wants room for its pages behind a whole SENDCMDINPARAMS (less its one-byte
    // buffer), 16 bytes more than the answer needs, and fails a smaller buffer.
    const std::size_t outSize = in.features == ata::kReadLog
                                    ? sizeof(SENDCMDINPARAMS) - 1 + dataSize
                                : status ? offsetof(SENDCMDOUTPARAMS, bBuffer) + sizeof(IDEREGS)
                                         : sizeof(SENDCMDOUTPARAMS) + dataSize;
    const std::size_t needed =
        offsetof(SENDCMDOUTPARAMS, bBuffer) + (status ? sizeof(IDEREGS) : dataSize);
    std::vector<std::uint8_t> answer(outSize);
    if (!Control(drive, receives ? SMART_RCV_DRIVE_DATA : SMART_SEND_DRIVE_COMMAND, &command,
                 sizeof command, answer.data(), answer.size(), bytes)) {
        return false;
    }
    SENDCMDOUTPARAMS header{};
    std::memcpy(&header, answer.data(), offsetof(SENDCMDOUTPARAMS, bBuffer));
    if (header.DriverStatus.bDriverError != 0) {
        return Failed(kErrorIoDevice);
    }
    if (bytes < needed) {
        return Failed(kErrorInvalidData);
    }
    const std::uint8_t* buffer = answer.data() + offsetof(SENDCMDOUTPARAMS, bBuffer);
    out = in;
    out.command = ata::kStatusReady;
    if (status) {
        IDEREGS regs{};
        std::memcpy(&regs, buffer, sizeof regs);
        out.lbaMid = regs.bCylLowReg;
        out.lbaHigh = regs.bCylHighReg;
    }
    if (dataSize != 0) {
        std::memcpy(data, buffer, dataSize);
    }
    return true;
}

// Every other command through the ATA pass-through: READ LOG EXT is a 48-bit command that the
// S.M.A.R.T. control codes cannot carry. The drive's registers come back in the task file.
bool PassThrough(DiskDevice::Handle drive, const AtaRegisters& in, AtaRegisters& out,
                 std::uint8_t* data, std::size_t dataSize)
{
    std::vector<std::uint8_t> buffer(sizeof(ATA_PASS_THROUGH_EX) + dataSize);
    ATA_PASS_THROUGH_EX header{};
    header.Length = sizeof header;
    header.AtaFlags = ATA_FLAGS_DRDY_REQUIRED | (dataSize != 0 ? ATA_FLAGS_DATA_IN : 0) |
                      (in.command == ata::kReadLogExt ? ATA_FLAGS_48BIT_COMMAND : 0);
    header.DataTransferLength = static_cast<ULONG>(dataSize);
    header.TimeOutValue = 10;
    header.DataBufferOffset = sizeof header;
    const std::uint8_t task[8] = {in.features, in.sectorCount, in.lbaLow,  in.lbaMid,
                                  in.lbaHigh,  in.device,      in.command, 0};
    std::memcpy(header.CurrentTaskFile, task, sizeof task);
    std::memcpy(buffer.data(), &header, sizeof header);
    DWORD bytes = 0;
    if (!Control(drive, IOCTL_ATA_PASS_THROUGH, buffer.data(), buffer.size(), buffer.data(),
                 buffer.size(), bytes)) {
        return false;
    }
    if (bytes < buffer.size()) {
        return Failed(kErrorInvalidData);
    }
    std::memcpy(&header, buffer.data(), sizeof header);
    out.features = header.CurrentTaskFile[0];
    out.sectorCount = header.CurrentTaskFile[1];
    out.lbaLow = header.CurrentTaskFile[2];
    out.lbaMid = header.CurrentTaskFile[3];
    out.lbaHigh = header.CurrentTaskFile[4];
    out.device = header.CurrentTaskFile[5];
    out.command = header.CurrentTaskFile[6];
    if (dataSize != 0) {
        std::memcpy(data, buffer.data() + sizeof header, dataSize);
    }
    return true;
}

class Win32DiskDevice final : public DiskDevice {
public:
    Handle Open(const std::wstring& path) override
    {
        HANDLE h = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_SYSTEM, nullptr);
        const Handle handle = reinterpret_cast<Handle>(h);
        if (IsUsableHandle(handle)) {
            std::lock_guard<std::mutex> lock(m_Mutex);
            // The S.M.A.R.T. commands name the drive in one byte.
            m_Numbers[handle] = static_cast<std::uint8_t>(PhysicalDriveNumber(path).value_or(0));
        }
        return handle;
    }

    Handle OpenForQuery(const std::wstring& path) override
    {
        HANDLE h = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
        return reinterpret_cast<Handle>(h);
    }

    void Close(Handle handle) override
    {
        if (IsUsableHandle(handle)) {
            {
                std::lock_guard<std::mutex> lock(m_Mutex);
                m_Numbers.erase(handle);
            }
            CloseHandle(ToHandle(handle));
        }
    }

    bool AtaCommand(Handle drive, const AtaRegisters& in, AtaRegisters& out, std::uint8_t* data,
                    std::size_t dataSize) override
    {
        if (dataSize % kSectorSize != 0 || (dataSize != 0 && data == nullptr)) {
            return Failed(kErrorInvalidParameter);
        }
        if (in.command != ata::kSmart) {
            return PassThrough(drive, in, out, data, dataSize);
        }
        std::uint8_t number = 0;
        {
            std::lock_guard<std::mutex> lock(m_Mutex);
            const auto found = m_Numbers.find(drive);
            number = found != m_Numbers.end() ? found->second : 0;
        }
        return SmartCommand(drive, number, in, out, data, dataSize);
    }

    bool NvmeHealthPage(Handle drive, std::uint8_t* page) override
    {
        const storage::HealthQuery query = storage::EncodeHealthQuery();
        std::vector<std::uint8_t> answer(storage::kHealthAnswerSize);
        DWORD bytes = 0;
        if (!Control(drive, IOCTL_STORAGE_QUERY_PROPERTY, query.data(), query.size(), answer.data(),
                     answer.size(), bytes)) {
            return false;
        }
        // A driver that claims more bytes than the buffer holds is read only up to its end.
        const std::uint8_t* found =
            storage::HealthPageIn(answer.data(), std::min<std::size_t>(bytes, answer.size()));
        if (found == nullptr) {
            return Failed(kErrorInvalidData);
        }
        std::memcpy(page, found, kSectorSize);
        return true;
    }

    bool PredictFailure(Handle drive, bool& predicted, std::uint8_t* data) override
    {
        STORAGE_PREDICT_FAILURE answer{};
        DWORD bytes = 0;
        if (!Control(drive, IOCTL_STORAGE_PREDICT_FAILURE, nullptr, 0, &answer, sizeof answer,
                     bytes)) {
            return false;
        }
        if (bytes < sizeof answer) {
            return Failed(kErrorInvalidData);
        }
        predicted = answer.PredictFailure != 0;
        std::memcpy(data, answer.VendorSpecific, kSectorSize);
        return true;
    }

    bool Descriptor(Handle drive, StorageDescriptor& descriptor) override
    {
        const storage::DeviceQuery query = storage::EncodeDeviceQuery();
        std::vector<std::uint8_t> answer(storage::kDeviceAnswerSize);
        DWORD bytes = 0;
        if (!Control(drive, IOCTL_STORAGE_QUERY_PROPERTY, query.data(), query.size(), answer.data(),
                     answer.size(), bytes)) {
            return false;
        }
        return storage::ParseDeviceDescriptor(
                   answer.data(), std::min<std::size_t>(bytes, answer.size()), descriptor) ||
               Failed(kErrorInvalidData);
    }

    bool VolumeDiskExtents(Handle volume, std::vector<std::uint32_t>& disks) override
    {
        // A first answer that names more extents than fit is asked again with room for all.
        std::vector<std::uint8_t> answer(sizeof(VOLUME_DISK_EXTENTS));
        for (int attempt = 0; attempt < 2; ++attempt) {
            DWORD bytes = 0;
            const bool done = Control(volume, IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS, nullptr, 0,
                                      answer.data(), answer.size(), bytes);
            const unsigned long error = done ? kErrorSuccess : GetLastErrorCode();
            VOLUME_DISK_EXTENTS head{};
            std::memcpy(&head, answer.data(), std::min<std::size_t>(bytes, sizeof head));
            const std::size_t count = bytes >= sizeof(DWORD) ? head.NumberOfDiskExtents : 0;
            const std::size_t room =
                offsetof(VOLUME_DISK_EXTENTS, Extents) + sizeof(DISK_EXTENT) * count;
            if (!done && error == kErrorMoreData && count > 1 && count <= kLargestExtentCount &&
                answer.size() < room) {
                answer.assign(room, 0);
                continue;
            }
            if (!done) {
                return Failed(error);
            }
            disks.clear();
            for (std::size_t i = 0; i < count; ++i) {
                const std::size_t at =
                    offsetof(VOLUME_DISK_EXTENTS, Extents) + sizeof(DISK_EXTENT) * i;
                if (at + sizeof(DISK_EXTENT) > bytes) {
                    break;
                }
                DISK_EXTENT extent{};
                std::memcpy(&extent, answer.data() + at, sizeof extent);
                disks.push_back(extent.DiskNumber);
            }
            return !disks.empty() || Failed(kErrorInvalidData);
        }
        return Failed(kErrorMoreData);
    }

private:
    // More extents than any volume has: an answer beyond it is no sound one.
    static constexpr std::size_t kLargestExtentCount = 1024;

    std::mutex m_Mutex;
    std::map<Handle, std::uint8_t> m_Numbers;
};

}  // namespace

DiskDevice& DiskDevice::System()
{
    static Win32DiskDevice s_Device;
    return s_Device;
}

}  // namespace platform
