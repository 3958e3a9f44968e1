#pragma once

#include <cstdint>
#include <string>

#include "platform/handle.h"

namespace platform {

// Physical drives and their driver's control codes: CreateFileW on "\\.\PHYSICALDRIVEn",
// volumes ("\\.\C:"), DeviceIoControl and CloseHandle. The posix substitute answers the control
// codes from files.
class DiskDevice {
public:
    using Handle = platform::Handle;

    virtual ~DiskDevice() = default;

    // Opens an existing device for reading and writing, shared for reading and writing, with the
    // system-file attribute. kInvalidHandle on failure, with the reason in GetLastErrorCode().
    virtual Handle Open(const std::wstring& path) = 0;

    // Opens an existing device or volume ("\\.\C:") with desired access 0, shared for reading
    // and writing: no administrator rights needed, and only queries answer on the handle.
    // kInvalidHandle on failure, with the reason in GetLastErrorCode().
    virtual Handle OpenForQuery(const std::wstring& path) = 0;

    // DeviceIoControl: the call's BOOL result (non-zero on success); `bytesReturned` receives the
    // size of the output written.
    virtual int Control(Handle handle, std::uint32_t code, const void* input,
                        std::uint32_t inputSize, void* output, std::uint32_t outputSize,
                        std::uint32_t& bytesReturned) = 0;

    // Closes a handle of Open; an invalid handle is ignored.
    virtual void Close(Handle handle) = 0;

    static DiskDevice& System();
};

}  // namespace platform
