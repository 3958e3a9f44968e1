#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include "platform/event_log.h"
#include "platform/event_log_record.h"

namespace MBDataAquisition {

// Counts the UPS shutdown-failure events of the Application event log: information events
// (type 4) with the identifier 67 (failures reset) or 69 (one more failure) from a source whose
// name contains "TwinCAT" or "EventLog". The count is the number of 69 events after the last
// 67 event in the log.
//
// The scan keeps the log open from one scan to the next and reads on sequentially from where
// the last read ended: new records arrive at the end. It never seeks (seek reads of the
// Application log fail on some systems). The record numbers of the counted 69 events are kept,
// so records that the log overwrites at its front leave the count as a full reading would.
// When the log was cleared, has wrapped past the records not read yet, or answers a read
// otherwise than at its end, the scan closes it, opens it again and reads it from its oldest
// record. After every scan that returns Done the count equals that of a full reading of the
// log from its oldest record.
//
// The log given to Scan must outlive the scan's use of it: the scan closes its handle on that
// log when it is given another one and when it is destroyed.
class ShutdownEventScan {
public:
    enum class Result { Done, OpenFailed, OldestRecordFailed };

    static constexpr std::uint32_t kBufferBytes = 0xFFFF;

    ShutdownEventScan() = default;
    ~ShutdownEventScan();
    ShutdownEventScan(const ShutdownEventScan&) = delete;
    ShutdownEventScan& operator=(const ShutdownEventScan&) = delete;

    // After OpenFailed or OldestRecordFailed the count is that of the last scan that was Done.
    Result Scan(platform::EventLog& log);
    std::int32_t Counter() const { return static_cast<std::int32_t>(m_Failures.size()); }
    // The system's error code of the last failed scan.
    unsigned long LastError() const { return m_nLastError; }

    // Whether a record counts, and how: 67 resets, 69 adds one.
    static bool IsShutdownEvent(const platform::EventLogRecordView& record);

private:
    enum class ReadEnd { EndOfLog, Interrupted };

    bool Open(platform::EventLog& log);
    void Close();
    // Reads on from the handle's position; Interrupted when the log did not continue where the
    // last read ended, or damaged records were met.
    ReadEnd ReadOn();
    void Apply(const platform::EventLogRecordView& record);
    // Counts the log anew from its oldest record on a freshly opened handle.
    Result Rescan(platform::EventLog& log);

    platform::EventLog* m_pLog = nullptr;
    platform::EventLogHandle m_hLog = 0;
    bool m_bContinuable = false;  // the handle's position follows the last record counted
    std::uint32_t m_nOldest = 0;  // oldest record at the last scan
    std::uint32_t m_nNext = 0;    // number of the record the next read must begin with; 0: any
    std::deque<std::uint32_t> m_Failures;  // record numbers of the 69 events after the last 67
    std::vector<std::uint8_t> m_Buffer;
    unsigned long m_nLastError = 0;
};

}  // namespace MBDataAquisition
