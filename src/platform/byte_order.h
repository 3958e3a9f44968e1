#pragma once

#include <cstdint>

// Little-endian loads and stores of the fields of the binary layouts we read and write (S.M.A.R.T.
// buffers, NVMe pages, event-log records, registry DWORDs, the sensor tool's block): the byte
// order is that of the layout, whatever the machine's is. The caller checks that the bytes exist.
namespace platform::le {

constexpr std::uint16_t Load16(const std::uint8_t* at) noexcept
{
    return static_cast<std::uint16_t>(at[0] | (at[1] << 8));
}

constexpr std::uint32_t Load32(const std::uint8_t* at) noexcept
{
    return static_cast<std::uint32_t>(Load16(at)) |
           (static_cast<std::uint32_t>(Load16(at + 2)) << 16);
}

constexpr std::uint64_t Load64(const std::uint8_t* at) noexcept
{
    return static_cast<std::uint64_t>(Load32(at)) |
           (static_cast<std::uint64_t>(Load32(at + 4)) << 32);
}

constexpr void Store16(std::uint8_t* at, std::uint16_t value) noexcept
{
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

constexpr void Store32(std::uint8_t* at, std::uint32_t value) noexcept
{
    Store16(at, static_cast<std::uint16_t>(value));
    Store16(at + 2, static_cast<std::uint16_t>(value >> 16));
}

constexpr void Store64(std::uint8_t* at, std::uint64_t value) noexcept
{
    Store32(at, static_cast<std::uint32_t>(value));
    Store32(at + 4, static_cast<std::uint32_t>(value >> 32));
}

namespace self_check {

constexpr std::uint8_t kBytes[8] = {0x01, 0x02, 0x03, 0x04, 0x85, 0x86, 0x87, 0xF8};
static_assert(Load16(kBytes) == 0x0201);
static_assert(Load16(kBytes + 4) == 0x8685);
static_assert(Load32(kBytes) == 0x04030201u);
static_assert(Load32(kBytes + 4) == 0xF8878685u);
static_assert(Load64(kBytes) == 0xF887868504030201ull);

// A store followed by a load gives the value back; the bytes around it stay as they were.
constexpr bool RoundTrips()
{
    std::uint8_t bytes[10] = {0xAA, 0, 0, 0, 0, 0, 0, 0, 0, 0xBB};
    Store64(bytes + 1, 0x0102030405060708ull);
    if (bytes[1] != 0x08 || bytes[8] != 0x01 || bytes[0] != 0xAA || bytes[9] != 0xBB ||
        Load64(bytes + 1) != 0x0102030405060708ull) {
        return false;
    }
    Store32(bytes + 1, 0xFFFEFDFCu);
    if (bytes[1] != 0xFC || bytes[4] != 0xFF || bytes[5] != 0x04 ||
        Load32(bytes + 1) != 0xFFFEFDFCu) {
        return false;
    }
    Store16(bytes + 1, 0xBEEF);
    return bytes[1] == 0xEF && bytes[2] == 0xBE && bytes[3] == 0xFE && Load16(bytes + 1) == 0xBEEF;
}
static_assert(RoundTrips());

}  // namespace self_check

}  // namespace platform::le
