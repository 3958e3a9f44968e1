#pragma once

#include <cstddef>
#include <cstdint>

// The ATA commands and register values the disk source sends, and what a drive answers in its
// registers (ATA/ATAPI Command Set): the protocol itself, the same on every platform.
namespace platform::ata {

inline constexpr std::uint8_t kSmart = 0xB0;       // SMART, with a feature below
inline constexpr std::uint8_t kReadLogExt = 0x2F;  // READ LOG EXT, a 48-bit command

inline constexpr std::uint8_t kReadAttributes = 0xD0;  // SMART READ DATA
inline constexpr std::uint8_t kReadThresholds = 0xD1;
inline constexpr std::uint8_t kReadLog = 0xD5;  // SMART READ LOG: the log in LBA low
inline constexpr std::uint8_t kEnable = 0xD8;
inline constexpr std::uint8_t kReturnStatus = 0xDA;
inline constexpr std::uint8_t kAutoOffline = 0xDB;  // count F8h: enable automatic off-line

// Every SMART command carries this signature in LBA mid and high; RETURN STATUS answers with it
// when no threshold is exceeded, and with F4h/2Ch when one is.
inline constexpr std::uint8_t kSignatureMid = 0x4F;
inline constexpr std::uint8_t kSignatureHigh = 0xC2;
inline constexpr std::uint8_t kExceededMid = 0xF4;
inline constexpr std::uint8_t kExceededHigh = 0x2C;
inline constexpr std::uint8_t kDevice = 0xA0;

// The status register: ERR or DF set means the drive did not carry the command out.
inline constexpr std::uint8_t kStatusError = 0x01;
inline constexpr std::uint8_t kStatusDeviceFault = 0x20;
inline constexpr std::uint8_t kStatusReady = 0x50;  // DRDY and DSC: done without error

// The Device Statistics log (log address 04h), 512-byte pages: every page's header names the page
// in byte 2; page 0 lists the supported pages (their count at byte 8, their numbers from byte 9).
// The pages read here hold their statistic at byte 8: the current temperature in degrees Celsius
// on page 05h, the percentage used endurance indicator on page 07h, each in the low byte of a
// 64-bit value that counts only with its supported (bit 63) and valid (bit 62) flags set.
inline constexpr std::uint8_t kDeviceStatisticsLog = 0x04;
inline constexpr std::uint8_t kTemperaturePage = 0x05;
inline constexpr std::uint8_t kSolidStatePage = 0x07;
inline constexpr std::size_t kPageNumberOffset = 2;
inline constexpr std::size_t kPageListCountOffset = 8;
inline constexpr std::size_t kPageListOffset = 9;
inline constexpr std::size_t kStatisticOffset = 8;
inline constexpr std::uint64_t kStatisticSupported = 1ull << 63;
inline constexpr std::uint64_t kStatisticValid = 1ull << 62;

}  // namespace platform::ata
