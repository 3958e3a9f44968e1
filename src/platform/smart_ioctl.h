#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "platform/byte_order.h"

// The disk driver's S.M.A.R.T. control codes and the byte layouts of their buffers
// (GETVERSIONINPARAMS, SENDCMDINPARAMS with IDEREGS, SENDCMDOUTPARAMS with DRIVERSTATUS) and the
// commands sent through them (read attributes and thresholds, return status, read log), written
// out byte by byte so portable code, the posix substitute and test fakes share one definition.
// The win32 disk device pins every value here against the Windows headers.
namespace platform::smart {

inline constexpr std::uint32_t kGetVersion = 0x74080;        // SMART_GET_VERSION
inline constexpr std::uint32_t kSendDriveCommand = 0x7C084;  // SMART_SEND_DRIVE_COMMAND
inline constexpr std::uint32_t kReceiveDriveData = 0x7C088;  // SMART_RCV_DRIVE_DATA
inline constexpr std::uint32_t kCapSmartCommands = 4;        // CAP_SMART_CMD

inline constexpr std::size_t kVersionSize = 24;  // sizeof(GETVERSIONINPARAMS)
inline constexpr std::size_t kVersionCapabilitiesOffset = 4;

inline constexpr std::size_t kCommandInSize = 33;   // sizeof(SENDCMDINPARAMS)
inline constexpr std::size_t kCommandOutSize = 17;  // sizeof(SENDCMDOUTPARAMS)
inline constexpr std::size_t kInRegistersOffset = 4;
inline constexpr std::size_t kInDriveNumberOffset = 12;
inline constexpr std::size_t kOutDataOffset = 16;
// The status block (DRIVERSTATUS) behind the buffer size: the driver's error code (0: none) and
// the drive's error register. A call that succeeds may still report an error here.
inline constexpr std::size_t kOutDriverErrorOffset = 4;
inline constexpr std::size_t kOutIdeErrorOffset = 5;
inline constexpr std::size_t kAttributeBlockSize = 512;  // READ_ATTRIBUTE_BUFFER_SIZE
inline constexpr std::size_t kReadOutSize = kCommandOutSize + kAttributeBlockSize;  // 529

inline constexpr std::uint8_t kSmartCommand = 0xB0;           // SMART_CMD
inline constexpr std::uint8_t kFeatureReadAttributes = 0xD0;  // READ_ATTRIBUTES
inline constexpr std::uint8_t kFeatureEnable = 0xD8;          // ENABLE_SMART
inline constexpr std::uint8_t kFeatureAutoOffline = 0xDB;     // ENABLE_DISABLE_AUTO_OFFLINE
inline constexpr std::uint8_t kFeatureReadThresholds = 0xD1;  // READ_THRESHOLDS
inline constexpr std::uint8_t kFeatureReadLog = 0xD5;         // SMART_READ_LOG
inline constexpr std::uint8_t kFeatureReturnStatus = 0xDA;    // RETURN_SMART_STATUS
inline constexpr std::uint8_t kCylinderLow = 0x4F;            // SMART_CYL_LOW
inline constexpr std::uint8_t kCylinderHigh = 0xC2;           // SMART_CYL_HI
inline constexpr std::uint8_t kDriveHead = 0xA0;
// RETURN SMART STATUS leaves these in the cylinder registers when a threshold is exceeded
// (4Fh/C2h when none is).
inline constexpr std::uint8_t kExceededCylinderLow = 0xF4;
inline constexpr std::uint8_t kExceededCylinderHigh = 0x2C;
// RETURN SMART STATUS answers with the registers (IDEREGS) in the output's data buffer.
inline constexpr std::size_t kRegistersSize = 8;  // sizeof(IDEREGS)
inline constexpr std::size_t kStatusOutSize = kOutDataOffset + kRegistersSize;
inline constexpr std::size_t kRegisterCylinderLowOffset = 3;
inline constexpr std::size_t kRegisterCylinderHighOffset = 4;
// The Device Statistics log (log address 04h). SMART READ LOG reads its pages from page 0 on, as
// many as the sector count says; a count beyond the log's last page is aborted.
inline constexpr std::uint8_t kDeviceStatisticsLog = 0x04;
inline constexpr std::size_t kLogPageSize = 512;
// The output buffer of a SMART READ LOG of `pages` pages. The disk driver asks for room for the
// pages behind a whole SENDCMDINPARAMS (less its one-byte buffer), 16 bytes more than
// SENDCMDOUTPARAMS and the pages need, and fails a smaller buffer with ERROR_INSUFFICIENT_BUFFER;
// it returns that many bytes.
constexpr std::size_t ReadLogOutSize(std::size_t pages)
{
    return kCommandInSize - 1 + kLogPageSize * pages;
}

// One SENDCMDINPARAMS: the buffer size, the ATA registers (IDEREGS) and the drive number.
struct Command {
    std::uint32_t bufferSize = 0;
    std::uint8_t features = 0;
    std::uint8_t sectorCount = 0;
    std::uint8_t sectorNumber = 0;
    std::uint8_t cylinderLow = 0;
    std::uint8_t cylinderHigh = 0;
    std::uint8_t driveHead = 0;
    std::uint8_t command = 0;
    std::uint8_t driveNumber = 0;
};

using CommandBuffer = std::array<std::uint8_t, kCommandInSize>;

// Every byte not named by Command (reserved register, reserved fields, bBuffer) is zero.
inline CommandBuffer EncodeCommand(const Command& c)
{
    CommandBuffer b{};
    le::Store32(b.data(), c.bufferSize);
    b[kInRegistersOffset + 0] = c.features;
    b[kInRegistersOffset + 1] = c.sectorCount;
    b[kInRegistersOffset + 2] = c.sectorNumber;
    b[kInRegistersOffset + 3] = c.cylinderLow;
    b[kInRegistersOffset + 4] = c.cylinderHigh;
    b[kInRegistersOffset + 5] = c.driveHead;
    b[kInRegistersOffset + 6] = c.command;
    b[kInDriveNumberOffset] = c.driveNumber;
    return b;
}

// The caller checks that `input` holds kCommandInSize bytes.
inline Command DecodeCommand(const std::uint8_t* input)
{
    Command c;
    c.bufferSize = le::Load32(input);
    c.features = input[kInRegistersOffset + 0];
    c.sectorCount = input[kInRegistersOffset + 1];
    c.sectorNumber = input[kInRegistersOffset + 2];
    c.cylinderLow = input[kInRegistersOffset + 3];
    c.cylinderHigh = input[kInRegistersOffset + 4];
    c.driveHead = input[kInRegistersOffset + 5];
    c.command = input[kInRegistersOffset + 6];
    c.driveNumber = input[kInDriveNumberOffset];
    return c;
}

}  // namespace platform::smart
