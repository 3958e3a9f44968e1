#include "platform/ata_pass_through.h"
#include "platform/disk_device.h"
#include "platform/smart_ioctl.h"
#include "platform/storage_query.h"
#include "platform/volume_extents.h"

#include <windows.h>
#include <winioctl.h>
#include <ntddscsi.h>
#include <nvme.h>

#include <cstddef>

namespace platform {

static_assert(smart::kGetVersion == SMART_GET_VERSION);
static_assert(smart::kSendDriveCommand == SMART_SEND_DRIVE_COMMAND);
static_assert(smart::kReceiveDriveData == SMART_RCV_DRIVE_DATA);
static_assert(smart::kCapSmartCommands == CAP_SMART_CMD);
static_assert(smart::kSmartCommand == SMART_CMD);
static_assert(smart::kFeatureReadAttributes == READ_ATTRIBUTES);
static_assert(smart::kFeatureEnable == ENABLE_SMART);
static_assert(smart::kFeatureAutoOffline == ENABLE_DISABLE_AUTO_OFFLINE);
static_assert(smart::kCylinderLow == SMART_CYL_LOW);
static_assert(smart::kCylinderHigh == SMART_CYL_HI);
static_assert(smart::kAttributeBlockSize == READ_ATTRIBUTE_BUFFER_SIZE);
static_assert(smart::kVersionSize == sizeof(GETVERSIONINPARAMS));
static_assert(smart::kVersionCapabilitiesOffset == offsetof(GETVERSIONINPARAMS, fCapabilities));
static_assert(smart::kCommandInSize == sizeof(SENDCMDINPARAMS));
static_assert(smart::kCommandOutSize == sizeof(SENDCMDOUTPARAMS));
static_assert(sizeof(IDEREGS) == 8);
static_assert(sizeof(DRIVERSTATUS) == 12);
static_assert(smart::kInRegistersOffset == offsetof(SENDCMDINPARAMS, irDriveRegs));
static_assert(smart::kInDriveNumberOffset == offsetof(SENDCMDINPARAMS, bDriveNumber));
static_assert(smart::kOutDataOffset == offsetof(SENDCMDOUTPARAMS, bBuffer));
static_assert(smart::kOutDriverErrorOffset ==
                  offsetof(SENDCMDOUTPARAMS, DriverStatus) + offsetof(DRIVERSTATUS, bDriverError) &&
              smart::kOutIdeErrorOffset ==
                  offsetof(SENDCMDOUTPARAMS, DriverStatus) + offsetof(DRIVERSTATUS, bIDEError));
static_assert(offsetof(IDEREGS, bFeaturesReg) == 0 && offsetof(IDEREGS, bCommandReg) == 6);

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
static_assert(storage::kDeviceBusTypeOffset == offsetof(STORAGE_DEVICE_DESCRIPTOR, BusType));
static_assert(sizeof(STORAGE_BUS_TYPE) == 4);
static_assert(storage::kBusTypeSata == BusTypeSata && storage::kBusTypeNvme == BusTypeNvme);
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
static_assert(storage::kHealthPageSize == sizeof(NVME_HEALTH_INFO_LOG));
static_assert(storage::kHealthQuerySize <= offsetof(STORAGE_PROPERTY_QUERY, AdditionalParameters) +
                                               sizeof(STORAGE_PROTOCOL_SPECIFIC_DATA) +
                                               NVME_MAX_LOG_SIZE);
static_assert(storage::kCriticalWarningOffset == offsetof(NVME_HEALTH_INFO_LOG, CriticalWarning));
static_assert(storage::kCompositeTemperatureOffset == offsetof(NVME_HEALTH_INFO_LOG, Temperature));
static_assert(storage::kPercentageUsedOffset == offsetof(NVME_HEALTH_INFO_LOG, PercentageUsed));
static_assert(storage::kPowerOnHoursOffset == offsetof(NVME_HEALTH_INFO_LOG, PowerOnHours));
static_assert(storage::kMediaErrorsOffset == offsetof(NVME_HEALTH_INFO_LOG, MediaErrors));
static_assert(sizeof(NVME_HEALTH_INFO_LOG::PowerOnHours) == 16 &&
              sizeof(NVME_HEALTH_INFO_LOG::MediaErrors) == 16 &&
              sizeof(NVME_HEALTH_INFO_LOG::Temperature) == 2);

static_assert(smart::kFeatureReadThresholds == READ_THRESHOLDS);
static_assert(smart::kFeatureReadLog == SMART_READ_LOG);
static_assert(smart::kFeatureReturnStatus == RETURN_SMART_STATUS);
static_assert(smart::kRegistersSize == sizeof(IDEREGS));
static_assert(smart::kRegisterCylinderLowOffset == offsetof(IDEREGS, bCylLowReg) &&
              smart::kRegisterCylinderHighOffset == offsetof(IDEREGS, bCylHighReg));
static_assert(smart::kStatusOutSize == offsetof(SENDCMDOUTPARAMS, bBuffer) + sizeof(IDEREGS));

static_assert(ata::kPassThrough == IOCTL_ATA_PASS_THROUGH);
static_assert(ata::kFlagDrdyRequired == ATA_FLAGS_DRDY_REQUIRED &&
              ata::kFlagDataIn == ATA_FLAGS_DATA_IN &&
              ata::kFlag48BitCommand == ATA_FLAGS_48BIT_COMMAND);
static_assert(ata::kHeaderSize == sizeof(ATA_PASS_THROUGH_EX));
static_assert(ata::kLengthOffset == offsetof(ATA_PASS_THROUGH_EX, Length));
static_assert(ata::kFlagsOffset == offsetof(ATA_PASS_THROUGH_EX, AtaFlags));
static_assert(ata::kDataTransferLengthOffset == offsetof(ATA_PASS_THROUGH_EX, DataTransferLength));
static_assert(ata::kTimeOutValueOffset == offsetof(ATA_PASS_THROUGH_EX, TimeOutValue));
static_assert(ata::kDataBufferOffsetOffset == offsetof(ATA_PASS_THROUGH_EX, DataBufferOffset));
static_assert(ata::kPointerSize == sizeof(ATA_PASS_THROUGH_EX::DataBufferOffset));
static_assert(ata::kPreviousTaskFileOffset == offsetof(ATA_PASS_THROUGH_EX, PreviousTaskFile));
static_assert(ata::kCurrentTaskFileOffset == offsetof(ATA_PASS_THROUGH_EX, CurrentTaskFile));

static_assert(storage::kPredictFailure == IOCTL_STORAGE_PREDICT_FAILURE);
static_assert(storage::kPredictFailureSize == sizeof(STORAGE_PREDICT_FAILURE));
static_assert(storage::kPredictFailureFlagOffset ==
              offsetof(STORAGE_PREDICT_FAILURE, PredictFailure));
static_assert(storage::kPredictVendorSpecificOffset ==
              offsetof(STORAGE_PREDICT_FAILURE, VendorSpecific));
static_assert(storage::kVendorIdOffsetOffset ==
              offsetof(STORAGE_DEVICE_DESCRIPTOR, VendorIdOffset));
static_assert(storage::kProductIdOffsetOffset ==
              offsetof(STORAGE_DEVICE_DESCRIPTOR, ProductIdOffset));
static_assert(storage::kSerialNumberOffsetOffset ==
              offsetof(STORAGE_DEVICE_DESCRIPTOR, SerialNumberOffset));
static_assert(storage::kBusTypeAta == BusTypeAta && storage::kBusTypeRaid == BusTypeRAID);
static_assert(storage::kBusTypeUnknown == BusTypeUnknown && storage::kBusTypeScsi == BusTypeScsi &&
              storage::kBusTypeUsb == BusTypeUsb && storage::kBusTypeSas == BusTypeSas);

static_assert(volume::kGetDiskExtents == IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS);
static_assert(volume::kExtentCountOffset == offsetof(VOLUME_DISK_EXTENTS, NumberOfDiskExtents));
static_assert(volume::kFirstExtentOffset == offsetof(VOLUME_DISK_EXTENTS, Extents));
static_assert(volume::kExtentDiskNumberOffset == offsetof(DISK_EXTENT, DiskNumber));
static_assert(volume::kExtentSize == sizeof(DISK_EXTENT));
static_assert(volume::kExtentsSize == sizeof(VOLUME_DISK_EXTENTS));

namespace {

HANDLE ToHandle(DiskDevice::Handle handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

class Win32DiskDevice final : public DiskDevice {
public:
    Handle Open(const std::wstring& path) override
    {
        HANDLE h = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_SYSTEM, nullptr);
        return reinterpret_cast<Handle>(h);
    }

    Handle OpenForQuery(const std::wstring& path) override
    {
        HANDLE h = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
        return reinterpret_cast<Handle>(h);
    }

    int Control(Handle handle, std::uint32_t code, const void* input, std::uint32_t inputSize,
                void* output, std::uint32_t outputSize, std::uint32_t& bytesReturned) override
    {
        DWORD l_nBytes = 0;
        const BOOL l_bResult = DeviceIoControl(ToHandle(handle), code, const_cast<void*>(input),
                                               inputSize, output, outputSize, &l_nBytes, nullptr);
        bytesReturned = l_nBytes;
        return l_bResult;
    }

    void Close(Handle handle) override
    {
        if (IsUsableHandle(handle)) {
            CloseHandle(ToHandle(handle));
        }
    }
};

}  // namespace

DiskDevice& DiskDevice::System()
{
    static Win32DiskDevice s_Device;
    return s_Device;
}

}  // namespace platform
