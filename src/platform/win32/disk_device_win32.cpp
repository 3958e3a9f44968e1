#include "platform/disk_device.h"
#include "platform/smart_ioctl.h"

#include <windows.h>
#include <winioctl.h>

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
static_assert(offsetof(IDEREGS, bFeaturesReg) == 0 && offsetof(IDEREGS, bCommandReg) == 6);

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

    int Control(Handle handle, std::uint32_t code, const void* input, std::uint32_t inputSize,
                void* output, std::uint32_t outputSize, std::uint32_t& bytesReturned) override
    {
        DWORD l_nBytes = 0;
        const BOOL l_bResult =
            DeviceIoControl(ToHandle(handle), code, const_cast<void*>(input), inputSize, output,
                            outputSize, &l_nBytes, nullptr);
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
