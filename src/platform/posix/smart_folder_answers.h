#pragma once

#include <cstdint>
#include <string>

#include "platform/posix/smart_folder.h"

// The answers of the posix drive substitute to each control code, from the drive's files. Each
// returns the call's BOOL result and sets the last error code on failure.
namespace platform::smart_folder {

// The buffers of one control call.
struct Call {
    const std::uint8_t* input;
    std::uint32_t inputSize;
    std::uint8_t* output;
    std::uint32_t outputSize;
    std::uint32_t& bytesReturned;
};

// 0 with the error code set: the failure of a control call.
int Fail(unsigned long code);

// The file's first `size` bytes from `offset` into `out`, the rest of `size` zero; false when the
// file cannot be read or ends before `offset`.
bool ReadPadded(const std::string& file, std::uint8_t* out, std::size_t size,
                std::size_t offset = 0);

bool IsRegularFile(const std::string& file);

// IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS from the folder's "SystemDrive".
int AnswerVolumeExtents(const std::string& folder, const Call& call);
// IOCTL_STORAGE_QUERY_PROPERTY: the device descriptor, the NVMe health page.
int AnswerQuery(const SmartFolder::OpenFile& drive, const Call& call);
// IOCTL_STORAGE_PREDICT_FAILURE of an ATA drive.
int AnswerPredictFailure(const SmartFolder::OpenFile& drive, const Call& call);
// The three S.M.A.R.T. control codes of an ATA drive.
int AnswerSmart(const SmartFolder::OpenFile& drive, std::uint32_t code, const Call& call);
// IOCTL_ATA_PASS_THROUGH: READ LOG EXT of the Device Statistics log.
int AnswerPassThrough(const SmartFolder::OpenFile& drive, const Call& call);

}  // namespace platform::smart_folder
