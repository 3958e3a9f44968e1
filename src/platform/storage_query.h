#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/byte_order.h"

// The storage driver's property query (IOCTL_STORAGE_QUERY_PROPERTY) as the disk source uses it:
// the device descriptor that names a drive's bus, and the NVMe SMART / Health Information log
// page through the protocol-specific property. The layouts (STORAGE_PROPERTY_QUERY,
// STORAGE_DEVICE_DESCRIPTOR, STORAGE_PROTOCOL_SPECIFIC_DATA, STORAGE_PROTOCOL_DATA_DESCRIPTOR, the
// health page) are written out byte by byte, so portable code, the posix substitute and test
// fakes share one definition; the win32 disk device pins every value here against the Windows
// headers.
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
inline constexpr std::uint32_t kBusTypeUnknown = 0;  // BusTypeUnknown
inline constexpr std::uint32_t kBusTypeScsi = 1;     // BusTypeScsi
inline constexpr std::uint32_t kBusTypeAta = 3;      // BusTypeAta
inline constexpr std::uint32_t kBusTypeUsb = 7;      // BusTypeUsb
inline constexpr std::uint32_t kBusTypeRaid = 8;     // BusTypeRAID
inline constexpr std::uint32_t kBusTypeSas = 10;     // BusTypeSas
inline constexpr std::uint32_t kBusTypeSata = 11;    // BusTypeSata
inline constexpr std::uint32_t kBusTypeNvme = 17;    // BusTypeNvme

// The bus types' names, as the metrics label a drive's bus.
struct BusTypeName {
    std::uint32_t busType;
    const wchar_t* name;
};
inline constexpr BusTypeName kBusTypeNames[] = {
    {kBusTypeUnknown, L"unknown"}, {kBusTypeScsi, L"scsi"}, {kBusTypeAta, L"ata"},
    {kBusTypeUsb, L"usb"},         {kBusTypeRaid, L"raid"}, {kBusTypeSas, L"sas"},
    {kBusTypeSata, L"sata"},       {kBusTypeNvme, L"nvme"}};

// The name of a bus type; "unknown" for a drive without descriptor, "other" for a bus not named.
inline const wchar_t* NameOfBusType(std::uint32_t busType)
{
    for (const BusTypeName& entry : kBusTypeNames) {
        if (entry.busType == busType) {
            return entry.name;
        }
    }
    return L"other";
}

// The drive's own verdict and attribute data, answered without rights
// (IOCTL_STORAGE_PREDICT_FAILURE, STORAGE_PREDICT_FAILURE).
inline constexpr std::uint32_t kPredictFailure = 0x2D1100;
inline constexpr std::size_t kPredictFailureFlagOffset = 0;
inline constexpr std::size_t kPredictVendorSpecificOffset = 4;
inline constexpr std::size_t kPredictFailureSize = 516;

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

// The SMART / Health Information log page as NVMe drives return it, little-endian.
inline constexpr std::uint32_t kHealthLogPage = 2;   // NVME_LOG_PAGE_HEALTH_INFO
inline constexpr std::size_t kHealthPageSize = 512;  // sizeof(NVME_HEALTH_INFO_LOG)
inline constexpr std::size_t kCriticalWarningOffset = 0;
inline constexpr std::size_t kCompositeTemperatureOffset = 1;  // 16 bits, kelvin
inline constexpr std::size_t kPercentageUsedOffset = 5;
inline constexpr std::size_t kPowerOnHoursOffset = 128;  // 128 bits
inline constexpr std::size_t kMediaErrorsOffset = 160;   // 128 bits

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

// What a query asks for, read from its bytes; the caller checks that `query` holds kQuerySize
// bytes, and protocol-specific fields are read only from a query of kQueryParametersOffset +
// kProtocolDataSize bytes or more (otherwise they stay zero).
struct QueryRequest {
    std::uint32_t propertyId = 0;
    std::uint32_t queryType = 0;
    std::uint32_t protocolType = 0;
    std::uint32_t dataType = 0;
    std::uint32_t requestValue = 0;
    std::uint32_t requestSubValue = 0;
    std::uint32_t dataOffset = 0;
    std::uint32_t dataLength = 0;
};

constexpr QueryRequest DecodeQuery(const std::uint8_t* query, std::size_t size)
{
    QueryRequest r;
    r.propertyId = le::Load32(query + kQueryPropertyIdOffset);
    r.queryType = le::Load32(query + kQueryTypeOffset);
    if (size >= kQueryParametersOffset + kProtocolDataSize) {
        const std::uint8_t* data = query + kQueryParametersOffset;
        r.protocolType = le::Load32(data + kProtocolTypeOffset);
        r.dataType = le::Load32(data + kDataTypeOffset);
        r.requestValue = le::Load32(data + kRequestValueOffset);
        r.requestSubValue = le::Load32(data + kRequestSubValueOffset);
        r.dataOffset = le::Load32(data + kDataOffsetOffset);
        r.dataLength = le::Load32(data + kDataLengthOffset);
    }
    return r;
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

}  // namespace platform::storage
