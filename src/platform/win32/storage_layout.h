#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/byte_order.h"
#include "platform/disk_device.h"

// The storage driver's property query (IOCTL_STORAGE_QUERY_PROPERTY) as the win32 disk device
// uses it: the device descriptor that names a drive's bus and texts, and the NVMe SMART / Health
// Information log page through the protocol-specific property. The layouts (STORAGE_PROPERTY_QUERY,
// STORAGE_DEVICE_DESCRIPTOR, STORAGE_PROTOCOL_SPECIFIC_DATA, STORAGE_PROTOCOL_DATA_DESCRIPTOR) are
// written out byte by byte, without the Windows headers, so that the parsers of the driver's
// answers are tested and fuzzed on every build; disk_device_win32.cpp pins every value here
// against the Windows headers.
namespace platform::storage {

inline constexpr std::uint32_t kQueryProperty = 0x2D1400;  // IOCTL_STORAGE_QUERY_PROPERTY

// STORAGE_PROPERTY_QUERY: property, query type, then the property's parameters.
inline constexpr std::uint32_t kDeviceProperty = 0;  // StorageDeviceProperty
inline constexpr std::uint32_t kDeviceProtocolSpecificProperty =
    50;                                             // StorageDeviceProtocolSpecificProperty
inline constexpr std::uint32_t kStandardQuery = 0;  // PropertyStandardQuery
inline constexpr std::size_t kQueryPropertyIdOffset = 0;
inline constexpr std::size_t kQueryTypeOffset = 4;
inline constexpr std::size_t kQueryParametersOffset = 8;
inline constexpr std::size_t kQuerySize = 12;  // sizeof(STORAGE_PROPERTY_QUERY)

// STORAGE_DEVICE_DESCRIPTOR: its fixed part; vendor texts and raw properties may follow. The text
// offsets count from the descriptor's start; 0 means no such text.
inline constexpr std::size_t kDescriptorVersionOffset = 0;
inline constexpr std::size_t kDescriptorSizeOffset = 4;
inline constexpr std::size_t kVendorIdOffsetOffset = 12;
inline constexpr std::size_t kProductIdOffsetOffset = 16;
inline constexpr std::size_t kSerialNumberOffsetOffset = 24;
inline constexpr std::size_t kDeviceBusTypeOffset = 28;
inline constexpr std::size_t kDeviceDescriptorSize = 40;
// Room for the fixed part and the texts a drive names itself with; the bus type is all we read.
inline constexpr std::size_t kDeviceAnswerSize = 512;

// STORAGE_PROTOCOL_SPECIFIC_DATA: ten DWORDs, in the query after the property and query type,
// in the answer after the descriptor's version and size.
inline constexpr std::uint32_t kProtocolTypeNvme = 3;     // ProtocolTypeNvme
inline constexpr std::uint32_t kNvmeDataTypeLogPage = 2;  // NVMeDataTypeLogPage
inline constexpr std::size_t kProtocolTypeOffset = 0;
inline constexpr std::size_t kDataTypeOffset = 4;
inline constexpr std::size_t kRequestValueOffset = 8;
inline constexpr std::size_t kRequestSubValueOffset = 12;
inline constexpr std::size_t kDataOffsetOffset = 16;
inline constexpr std::size_t kDataLengthOffset = 20;
inline constexpr std::size_t kProtocolDataSize = 40;  // sizeof(STORAGE_PROTOCOL_SPECIFIC_DATA)

// STORAGE_PROTOCOL_DATA_DESCRIPTOR: version, size, then the protocol-specific data.
inline constexpr std::size_t kProtocolDescriptorDataOffset = 8;
inline constexpr std::size_t kProtocolDescriptorSize =
    48;  // sizeof(STORAGE_PROTOCOL_DATA_DESCRIPTOR)

// The SMART / Health Information log page.
inline constexpr std::uint32_t kHealthLogPage = 2;  // NVME_LOG_PAGE_HEALTH_INFO
inline constexpr std::size_t kHealthPageSize = DiskDevice::kSectorSize;

// The health query is one buffer for the query and the answer, as the documentation of the
// inbox NVMe driver lays it out: the query's fixed part, the protocol-specific data, and room
// for the page right behind it.
inline constexpr std::size_t kHealthQuerySize =
    kQueryParametersOffset + kProtocolDataSize + kHealthPageSize;  // 560
inline constexpr std::size_t kHealthAnswerSize = kHealthQuerySize;

using DeviceQuery = std::array<std::uint8_t, kQuerySize>;
using HealthQuery = std::array<std::uint8_t, kHealthQuerySize>;

// The standard query of the device descriptor.
constexpr DeviceQuery EncodeDeviceQuery()
{
    DeviceQuery q{};
    le::Store32(q.data() + kQueryPropertyIdOffset, kDeviceProperty);
    le::Store32(q.data() + kQueryTypeOffset, kStandardQuery);
    return q;
}

// The health page of the drive, from its start: the page's data follows the protocol-specific
// data; every other byte is zero.
constexpr HealthQuery EncodeHealthQuery()
{
    HealthQuery q{};
    le::Store32(q.data() + kQueryPropertyIdOffset, kDeviceProtocolSpecificProperty);
    le::Store32(q.data() + kQueryTypeOffset, kStandardQuery);
    std::uint8_t* data = q.data() + kQueryParametersOffset;
    le::Store32(data + kProtocolTypeOffset, kProtocolTypeNvme);
    le::Store32(data + kDataTypeOffset, kNvmeDataTypeLogPage);
    le::Store32(data + kRequestValueOffset, kHealthLogPage);
    le::Store32(data + kRequestSubValueOffset, 0);
    le::Store32(data + kDataOffsetOffset, kProtocolDataSize);
    le::Store32(data + kDataLengthOffset, kHealthPageSize);
    return q;
}

// A device descriptor's fixed part naming `busType`, as a driver writes it into `out`
// (kDeviceDescriptorSize bytes).
constexpr void EncodeDeviceDescriptor(std::uint8_t* out, std::uint32_t busType)
{
    for (std::size_t i = 0; i < kDeviceDescriptorSize; ++i) {
        out[i] = 0;
    }
    le::Store32(out + kDescriptorVersionOffset, kDeviceDescriptorSize);
    le::Store32(out + kDescriptorSizeOffset, kDeviceDescriptorSize);
    le::Store32(out + kDeviceBusTypeOffset, busType);
}

// A device descriptor naming `busType`, followed by the model and the serial number as
// NUL-terminated texts, as a driver writes it into `out` (`outSize` bytes, kDeviceDescriptorSize
// at least). A text that does not fit with its NUL is left out (offset 0). Returns the
// descriptor's size.
inline std::uint32_t EncodeDeviceDescriptor(std::uint8_t* out, std::size_t outSize,
                                            std::uint32_t busType, const std::string& model,
                                            const std::string& serial)
{
    EncodeDeviceDescriptor(out, busType);
    std::size_t end = kDeviceDescriptorSize;
    const auto append = [&](std::size_t offsetField, const std::string& text) {
        if (text.empty() || end + text.size() + 1 > outSize) {
            return;
        }
        le::Store32(out + offsetField, static_cast<std::uint32_t>(end));
        for (const char c : text) {
            out[end++] = static_cast<std::uint8_t>(c);
        }
        out[end++] = 0;
    };
    append(kProductIdOffsetOffset, model);
    append(kSerialNumberOffsetOffset, serial);
    le::Store32(out + kDescriptorSizeOffset, static_cast<std::uint32_t>(end));
    return static_cast<std::uint32_t>(end);
}

// The answer of the inbox driver to the health query, written into `out` (kHealthAnswerSize
// bytes): the descriptor, then the 512-byte `page` right behind the protocol-specific data.
constexpr void EncodeHealthAnswer(std::uint8_t* out, const std::uint8_t* page)
{
    for (std::size_t i = 0; i < kProtocolDescriptorSize; ++i) {
        out[i] = 0;
    }
    le::Store32(out + kDescriptorVersionOffset, kProtocolDescriptorSize);
    le::Store32(out + kDescriptorSizeOffset, kProtocolDescriptorSize);
    std::uint8_t* data = out + kProtocolDescriptorDataOffset;
    le::Store32(data + kProtocolTypeOffset, kProtocolTypeNvme);
    le::Store32(data + kDataTypeOffset, kNvmeDataTypeLogPage);
    le::Store32(data + kRequestValueOffset, kHealthLogPage);
    le::Store32(data + kDataOffsetOffset, kProtocolDataSize);
    le::Store32(data + kDataLengthOffset, kHealthPageSize);
    for (std::size_t i = 0; i < kHealthPageSize; ++i) {
        out[kProtocolDescriptorDataOffset + kProtocolDataSize + i] = page[i];
    }
}

// The health page in the driver's answer to the health query, of which `size` bytes were
// returned: null unless the descriptor has the expected version, a size within the answer, the
// NVMe protocol and the log-page data type, and names a DWORD-aligned page of at least 512 bytes
// that lies after the protocol-specific data and inside the answer.
inline const std::uint8_t* HealthPageIn(const std::uint8_t* answer, std::size_t size)
{
    if (answer == nullptr || size < kProtocolDescriptorSize) {
        return nullptr;
    }
    const std::uint32_t version = le::Load32(answer + kDescriptorVersionOffset);
    const std::uint32_t descriptorSize = le::Load32(answer + kDescriptorSizeOffset);
    if (version != kProtocolDescriptorSize || descriptorSize < kProtocolDescriptorSize ||
        descriptorSize > size) {
        return nullptr;
    }
    const std::uint8_t* data = answer + kProtocolDescriptorDataOffset;
    if (le::Load32(data + kProtocolTypeOffset) != kProtocolTypeNvme ||
        le::Load32(data + kDataTypeOffset) != kNvmeDataTypeLogPage) {
        return nullptr;
    }
    // The page's offset counts from the protocol-specific data; 64-bit sums cannot overflow.
    const std::uint64_t offset = le::Load32(data + kDataOffsetOffset);
    const std::uint64_t length = le::Load32(data + kDataLengthOffset);
    if (offset < kProtocolDataSize || offset % 4 != 0 || length < kHealthPageSize ||
        kProtocolDescriptorDataOffset + offset + length > size) {
        return nullptr;
    }
    return data + offset;
}

// The device descriptor of which `size` bytes were returned: false when the answer or the
// descriptor's own size ends before the bus type. A text counts when its offset is non-zero and
// inside both, and it ends at its NUL or at the end of either.
inline bool ParseDeviceDescriptor(const std::uint8_t* answer, std::size_t size,
                                  StorageDescriptor& descriptor)
{
    constexpr std::size_t kEnd = kDeviceBusTypeOffset + 4;
    if (answer == nullptr || size < kEnd) {
        return false;
    }
    const std::size_t descriptorSize = le::Load32(answer + kDescriptorSizeOffset);
    if (descriptorSize < kEnd) {
        return false;
    }
    const std::size_t end = descriptorSize < size ? descriptorSize : size;
    const auto textAt = [&](std::size_t offsetField) {
        std::string text;
        for (std::size_t i = le::Load32(answer + offsetField); i != 0 && i < end && answer[i] != 0;
             ++i) {
            text += static_cast<char>(answer[i]);
        }
        return text;
    };
    descriptor.busType = le::Load32(answer + kDeviceBusTypeOffset);
    descriptor.vendor = textAt(kVendorIdOffsetOffset);
    descriptor.product = textAt(kProductIdOffsetOffset);
    descriptor.serial = textAt(kSerialNumberOffsetOffset);
    return true;
}

}  // namespace platform::storage
