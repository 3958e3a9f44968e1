#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "platform/byte_order.h"

// The ATA pass-through (IOCTL_ATA_PASS_THROUGH with ATA_PASS_THROUGH_EX) as the disk source uses
// it: READ LOG EXT of one 512-byte page, the page's data right behind the header in the same
// buffer. Written out byte by byte so portable code, the posix substitute and test fakes share one
// definition; the win32 disk device pins every value here against the Windows headers. The header
// holds a ULONG_PTR: its layout follows the pointer size (x64: 48 bytes, x86: 40 bytes).
namespace platform::ata {

inline constexpr std::uint32_t kPassThrough = 0x4D02C;  // IOCTL_ATA_PASS_THROUGH

inline constexpr std::uint16_t kFlagDrdyRequired = 0x01;  // ATA_FLAGS_DRDY_REQUIRED
inline constexpr std::uint16_t kFlagDataIn = 0x02;        // ATA_FLAGS_DATA_IN
inline constexpr std::uint16_t kFlag48BitCommand = 0x08;  // ATA_FLAGS_48BIT_COMMAND

inline constexpr std::size_t kPointerSize = sizeof(void*);
inline constexpr std::size_t kLengthOffset = 0;
inline constexpr std::size_t kFlagsOffset = 2;
inline constexpr std::size_t kDataTransferLengthOffset = 8;
inline constexpr std::size_t kTimeOutValueOffset = 12;
inline constexpr std::size_t kDataBufferOffsetOffset = kPointerSize == 8 ? 24 : 20;
inline constexpr std::size_t kPreviousTaskFileOffset = kDataBufferOffsetOffset + kPointerSize;
inline constexpr std::size_t kCurrentTaskFileOffset = kPreviousTaskFileOffset + 8;
inline constexpr std::size_t kHeaderSize =
    kCurrentTaskFileOffset + 8;  // sizeof(ATA_PASS_THROUGH_EX)

// Task file registers: features, sector count, LBA low, mid and high, device, command.
inline constexpr std::size_t kTaskCountOffset = 1;
inline constexpr std::size_t kTaskLbaLowOffset = 2;
inline constexpr std::size_t kTaskLbaMidOffset = 3;
inline constexpr std::size_t kTaskCommandOffset = 6;
inline constexpr std::uint8_t kReadLogExt = 0x2F;
// On output the task file holds the registers the drive returned: the status in place of the
// command. ERR (bit 0) or DF (bit 5) means the drive did not carry the command out (READ LOG EXT
// aborted: no such log or page, no 48-bit feature set); the call itself still succeeds.
inline constexpr std::size_t kTaskStatusOffset = 6;
inline constexpr std::uint8_t kStatusError = 0x01;
inline constexpr std::uint8_t kStatusDeviceFault = 0x20;
inline constexpr std::uint8_t kStatusReady = 0x50;  // DRDY and DSC: done without error

inline constexpr std::size_t kPageSize = 512;
inline constexpr std::size_t kReadLogBufferSize = kHeaderSize + kPageSize;
inline constexpr std::uint32_t kTimeOutSeconds = 10;

using ReadLogBuffer = std::array<std::uint8_t, kReadLogBufferSize>;

// READ LOG EXT of page `page` of log `log`: one sector, data in, 48-bit command.
inline ReadLogBuffer EncodeReadLogExt(std::uint8_t log, std::uint8_t page)
{
    ReadLogBuffer b{};
    le::Store16(b.data() + kLengthOffset, static_cast<std::uint16_t>(kHeaderSize));
    le::Store16(b.data() + kFlagsOffset, kFlagDrdyRequired | kFlagDataIn | kFlag48BitCommand);
    le::Store32(b.data() + kDataTransferLengthOffset, static_cast<std::uint32_t>(kPageSize));
    le::Store32(b.data() + kTimeOutValueOffset, kTimeOutSeconds);
    le::Store32(b.data() + kDataBufferOffsetOffset, static_cast<std::uint32_t>(kHeaderSize));
    std::uint8_t* task = b.data() + kCurrentTaskFileOffset;
    task[kTaskCountOffset] = 1;
    task[kTaskLbaLowOffset] = log;
    task[kTaskLbaMidOffset] = page;
    task[kTaskCommandOffset] = kReadLogExt;
    return b;
}

// What a pass-through asks for, read from its header; the caller checks that `input` holds
// kHeaderSize bytes.
struct ReadLogRequest {
    std::uint8_t command = 0;
    std::uint8_t log = 0;
    std::uint8_t page = 0;
    std::uint8_t count = 0;
    std::uint32_t dataOffset = 0;
    std::uint32_t dataLength = 0;
};

inline ReadLogRequest DecodeReadLog(const std::uint8_t* input)
{
    ReadLogRequest r;
    const std::uint8_t* task = input + kCurrentTaskFileOffset;
    r.command = task[kTaskCommandOffset];
    r.log = task[kTaskLbaLowOffset];
    r.page = task[kTaskLbaMidOffset];
    r.count = task[kTaskCountOffset];
    r.dataOffset = le::Load32(input + kDataBufferOffsetOffset);
    r.dataLength = le::Load32(input + kDataTransferLengthOffset);
    return r;
}

// The drive carried out the command whose answer is `output` (kHeaderSize bytes at least).
inline bool Completed(const std::uint8_t* output)
{
    const std::uint8_t status = output[kCurrentTaskFileOffset + kTaskStatusOffset];
    return (status & (kStatusError | kStatusDeviceFault)) == 0;
}

}  // namespace platform::ata
