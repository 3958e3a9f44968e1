#include "platform/event_log_record.h"

#include "platform/byte_order.h"
#include "platform/utf16.h"

namespace platform {
namespace {

void Write32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value)
{
    le::Store32(bytes.data() + offset, value);
}

}  // namespace

bool ParseEventLogRecord(const std::uint8_t* bytes, std::size_t size, EventLogRecordView& record)
{
    if (size < kEventLogRecordFixedSize) {
        return false;
    }
    const std::uint32_t length = le::Load32(bytes + kRecordLengthOffset);
    if (length < kEventLogRecordFixedSize + sizeof(std::uint32_t) || length % 4 != 0 ||
        length > size || le::Load32(bytes + kRecordSignatureOffset) != kEventLogSignature) {
        return false;
    }
    // The source name ends before the closing length field.
    const std::size_t nameUnits = (length - sizeof(std::uint32_t) - kEventLogRecordFixedSize) / 2;
    const std::uint8_t* name = bytes + kEventLogRecordFixedSize;
    std::size_t units = 0;
    while (units < nameUnits && le::Load16(name + 2 * units) != 0) {
        ++units;
    }
    if (units == nameUnits) {
        return false;
    }
    record.length = length;
    record.recordNumber = le::Load32(bytes + kRecordNumberOffset);
    record.timeGenerated = le::Load32(bytes + kRecordTimeGeneratedOffset);
    record.timeWritten = le::Load32(bytes + kRecordTimeWrittenOffset);
    record.eventId = le::Load32(bytes + kRecordEventIdOffset);
    record.eventType = le::Load16(bytes + kRecordEventTypeOffset);
    record.sourceName = FromUtf16Le(name, units);
    return true;
}

std::vector<std::uint8_t> BuildEventLogRecord(const EventLogRecordData& data)
{
    std::vector<std::uint8_t> bytes(kEventLogRecordFixedSize, 0);
    AppendUtf16Le(bytes, data.sourceName);
    AppendUtf16Le(bytes, data.computerName);
    while (bytes.size() % 4 != 0) {
        bytes.push_back(0);
    }
    const auto variablePart = static_cast<std::uint32_t>(bytes.size());
    bytes.resize(bytes.size() + sizeof(std::uint32_t));
    const auto length = static_cast<std::uint32_t>(bytes.size());
    Write32(bytes, kRecordLengthOffset, length);
    Write32(bytes, kRecordSignatureOffset, kEventLogSignature);
    Write32(bytes, kRecordNumberOffset, data.recordNumber);
    Write32(bytes, kRecordTimeGeneratedOffset, data.timeGenerated);
    Write32(bytes, kRecordTimeWrittenOffset, data.timeWritten);
    Write32(bytes, kRecordEventIdOffset, data.eventId);
    le::Store16(bytes.data() + kRecordEventTypeOffset, data.eventType);
    // No strings, SID or data: their offsets point behind the names, as Windows writes them.
    Write32(bytes, kRecordStringOffsetOffset, variablePart);
    Write32(bytes, kRecordUserSidOffsetOffset, variablePart);
    Write32(bytes, kRecordDataOffsetOffset, variablePart);
    Write32(bytes, length - sizeof(std::uint32_t), length);
    return bytes;
}

}  // namespace platform
