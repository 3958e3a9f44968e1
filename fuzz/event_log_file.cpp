// The text file of the posix event log ("TYPE ID SOURCE" lines): loaded, then read back through
// the event-log functions and walked, as the shutdown scan reads it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "platform/event_log_record.h"
#include "standins/memory_event_log.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const fuzz::ScratchFile s_file("events.txt");
    s_file.Write(std::string(reinterpret_cast<const char*>(data), size));

    platform::MemoryEventLog log;
    platform::LoadEventLogFile(log, s_file.Path());
    const platform::EventLogHandle handle = log.Open(L"Application");
    fuzz::Check(handle != 0, "a loaded log opens");

    std::vector<std::uint8_t> buffer(256);
    std::size_t records = 0;
    for (;;) {
        std::uint32_t bytesRead = 0;
        std::uint32_t bytesNeeded = 0;
        if (!log.Read(handle, platform::kEventLogSequentialRead | platform::kEventLogForwardsRead,
                      0, buffer.data(), static_cast<std::uint32_t>(buffer.size()), bytesRead,
                      bytesNeeded)) {
            if (bytesNeeded > buffer.size()) {
                buffer.resize(bytesNeeded);
                continue;
            }
            break;
        }
        fuzz::Check(bytesRead <= buffer.size(), "a read fits its buffer");
        fuzz::Check(
            platform::WalkEventLogRecords(buffer.data(), bytesRead,
                                          [&](const platform::EventLogRecordView&) { ++records; }),
            "a read delivers whole records");
    }
    fuzz::Check(records == log.RecordCount(), "every record is read once");
    log.Close(handle);
    return 0;
}
