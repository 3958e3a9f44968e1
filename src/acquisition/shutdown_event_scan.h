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
// The scan is incremental: it remembers the last record it walked and, on the next scan, seeks
// to that record, checks that it is still the same record and reads only the newer ones. The
// record numbers of the counted 69 events are kept, so records that the log overwrites at its
// front leave the count as a full reading would. When the log was cleared or has wrapped past
// the remembered record, the scan starts again from the oldest record. After every scan the
// count equals that of a full reading of the log from its oldest record.
class ShutdownEventScan {
public:
    enum class Result { Done, OpenFailed, OldestRecordFailed };

    static constexpr std::uint32_t kBufferBytes = 0xFFFF;

    Result Scan(platform::EventLog& log);
    std::int32_t Counter() const { return static_cast<std::int32_t>(m_Failures.size()); }

    // Whether a record counts, and how: 67 resets, 69 adds one.
    static bool IsShutdownEvent(const platform::EventLogRecordView& record);

private:
    struct Fingerprint {
        std::uint32_t recordNumber = 0;
        std::uint32_t length = 0;
        std::uint32_t timeGenerated = 0;
        std::uint32_t timeWritten = 0;
        std::uint32_t eventId = 0;
        std::uint16_t eventType = 0;
        std::size_t sourceHash = 0;
        bool operator==(const Fingerprint& other) const;
    };
    enum class Continued { Yes, AnchorLost };

    static Fingerprint FingerprintOf(const platform::EventLogRecordView& record);
    void Forget();
    // Reads on from a position; with `verifyAnchor` the first record must be the remembered one.
    Continued ReadRecords(platform::EventLog& log, platform::EventLogHandle handle,
                          std::uint32_t flags, std::uint32_t offset, bool verifyAnchor);
    void Apply(const platform::EventLogRecordView& record);

    bool m_bAnchored = false;
    Fingerprint m_Anchor;
    std::uint32_t m_nOldest = 0;
    std::deque<std::uint32_t> m_Failures;  // record numbers of the 69 events after the last 67
    std::vector<std::uint8_t> m_Buffer;
};

}  // namespace MBDataAquisition
