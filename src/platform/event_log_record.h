#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// EVENTLOGRECORD: a 56-byte fixed part (offsets below), the source name and the computer name
// as zero-terminated UTF-16LE right after it, then SID, strings and data, padding to a multiple
// of 4, and the record's length once more in its last 4 bytes.
inline constexpr std::size_t kEventLogRecordFixedSize = 56;
inline constexpr std::uint32_t kEventLogSignature = 0x654c664c;  // "LfLe"
inline constexpr std::size_t kRecordLengthOffset = 0;
inline constexpr std::size_t kRecordSignatureOffset = 4;
inline constexpr std::size_t kRecordNumberOffset = 8;
inline constexpr std::size_t kRecordTimeGeneratedOffset = 12;
inline constexpr std::size_t kRecordTimeWrittenOffset = 16;
inline constexpr std::size_t kRecordEventIdOffset = 20;
inline constexpr std::size_t kRecordEventTypeOffset = 24;
inline constexpr std::size_t kRecordStringOffsetOffset = 36;
inline constexpr std::size_t kRecordUserSidOffsetOffset = 44;
inline constexpr std::size_t kRecordDataOffsetOffset = 52;

// The parts of a record the monitor reads.
struct EventLogRecordView {
    std::uint32_t length = 0;
    std::uint32_t recordNumber = 0;
    std::uint32_t timeGenerated = 0;
    std::uint32_t timeWritten = 0;
    std::uint32_t eventId = 0;
    std::uint16_t eventType = 0;
    std::wstring sourceName;
};

// Reads the record at the start of `bytes`. False, without reading past `size`, when the bytes
// cannot be a record: fewer than 56 bytes, a length below the fixed part plus the closing
// length, not a multiple of 4 or beyond `size`, a wrong signature, or a source name without its
// terminator inside the record.
bool ParseEventLogRecord(const std::uint8_t* bytes, std::size_t size, EventLogRecordView& record);

// Walks the records of one read buffer by their length fields and calls `visit` for each, in
// order. The walk ends at the end of the buffer (true) or at the first malformed record (false);
// it always moves forward, so it cannot loop, and it never reads outside the buffer.
template <class Visit>
bool WalkEventLogRecords(const std::uint8_t* bytes, std::size_t size, Visit&& visit)
{
    std::size_t offset = 0;
    EventLogRecordView record;
    while (offset < size) {
        if (!ParseEventLogRecord(bytes + offset, size - offset, record)) {
            return false;
        }
        visit(static_cast<const EventLogRecordView&>(record));
        offset += record.length;
    }
    return true;
}

// The fields of a record to build.
struct EventLogRecordData {
    std::uint32_t recordNumber = 0;
    std::uint32_t timeGenerated = 0;
    std::uint32_t timeWritten = 0;
    std::uint32_t eventId = 0;
    std::uint16_t eventType = 0;
    std::wstring sourceName;
    std::wstring computerName;
};

// One record in the Windows layout, without SID, strings or data.
std::vector<std::uint8_t> BuildEventLogRecord(const EventLogRecordData& data);

}  // namespace platform
