// The event-record walker: one read buffer of EVENTLOGRECORDs in. Every record it accepts must
// lie inside the buffer and come out the same when built again from its fields.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz_support.h"
#include "platform/event_log_record.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::size_t walked = 0;
    const bool whole =
        platform::WalkEventLogRecords(data, size, [&](const platform::EventLogRecordView& record) {
            fuzz::Check(
                record.length >= platform::kEventLogRecordFixedSize + 4 && record.length % 4 == 0,
                "a record has a sound length");
            walked += record.length;
            fuzz::Check(walked <= size, "a record lies inside the buffer");
            fuzz::Check(record.sourceName.find(L'\0') == std::wstring::npos,
                        "a source name ends at its terminator");

            platform::EventLogRecordData fields;
            fields.recordNumber = record.recordNumber;
            fields.timeGenerated = record.timeGenerated;
            fields.timeWritten = record.timeWritten;
            fields.eventId = record.eventId;
            fields.eventType = record.eventType;
            fields.sourceName = record.sourceName;
            const std::vector<std::uint8_t> rebuilt = platform::BuildEventLogRecord(fields);
            platform::EventLogRecordView again;
            fuzz::Check(platform::ParseEventLogRecord(rebuilt.data(), rebuilt.size(), again),
                        "a built record parses");
            fuzz::Check(again.recordNumber == record.recordNumber &&
                            again.eventId == record.eventId &&
                            again.eventType == record.eventType &&
                            again.timeGenerated == record.timeGenerated &&
                            again.timeWritten == record.timeWritten &&
                            again.sourceName == record.sourceName,
                        "a record survives building it again");
        });
    fuzz::Check(!whole || walked == size, "a complete walk covers the buffer");
    return 0;
}
