#include "acquisition/shutdown_event_scan.h"

#include <algorithm>
#include <functional>
#include <string>

namespace MBDataAquisition {
namespace {

constexpr std::uint32_t kFailuresReset = 67;
constexpr std::uint32_t kShutdownFailure = 69;
constexpr std::uint32_t kSequentialForwards =
    platform::kEventLogSequentialRead | platform::kEventLogForwardsRead;
constexpr std::uint32_t kSeekForwards = platform::kEventLogSeekRead | platform::kEventLogForwardsRead;

// Closes the log on every way out of a scan.
class OpenLog {
public:
    OpenLog(platform::EventLog& log, platform::EventLogHandle handle) : m_Log(log), m_hLog(handle) {}
    ~OpenLog() { m_Log.Close(m_hLog); }
    OpenLog(const OpenLog&) = delete;
    OpenLog& operator=(const OpenLog&) = delete;

private:
    platform::EventLog& m_Log;
    platform::EventLogHandle m_hLog;
};

}  // namespace

bool ShutdownEventScan::Fingerprint::operator==(const Fingerprint& other) const
{
    return recordNumber == other.recordNumber && length == other.length &&
           timeGenerated == other.timeGenerated && timeWritten == other.timeWritten &&
           eventId == other.eventId && eventType == other.eventType &&
           sourceHash == other.sourceHash;
}

bool ShutdownEventScan::IsShutdownEvent(const platform::EventLogRecordView& record)
{
    return record.eventType == platform::kEventTypeInformation &&
           (record.eventId == kFailuresReset || record.eventId == kShutdownFailure) &&
           (record.sourceName.find(L"TwinCAT") != std::wstring::npos ||
            record.sourceName.find(L"EventLog") != std::wstring::npos);
}

ShutdownEventScan::Fingerprint ShutdownEventScan::FingerprintOf(
    const platform::EventLogRecordView& record)
{
    Fingerprint fingerprint;
    fingerprint.recordNumber = record.recordNumber;
    fingerprint.length = record.length;
    fingerprint.timeGenerated = record.timeGenerated;
    fingerprint.timeWritten = record.timeWritten;
    fingerprint.eventId = record.eventId;
    fingerprint.eventType = record.eventType;
    fingerprint.sourceHash = std::hash<std::wstring>()(record.sourceName);
    return fingerprint;
}

void ShutdownEventScan::Forget()
{
    m_bAnchored = false;
    m_Anchor = Fingerprint();
    m_Failures.clear();
}

void ShutdownEventScan::Apply(const platform::EventLogRecordView& record)
{
    if (IsShutdownEvent(record)) {
        if (record.eventId == kFailuresReset) {
            m_Failures.clear();
        } else {
            m_Failures.push_back(record.recordNumber);
        }
    }
    m_Anchor = FingerprintOf(record);
    m_bAnchored = true;
}

ShutdownEventScan::Continued ShutdownEventScan::ReadRecords(platform::EventLog& log,
                                                            platform::EventLogHandle handle,
                                                            std::uint32_t flags,
                                                            std::uint32_t offset,
                                                            bool verifyAnchor)
{
    m_Buffer.resize(kBufferBytes);
    bool verifying = verifyAnchor;
    while (true) {
        std::uint32_t bytesRead = 0;
        std::uint32_t bytesNeeded = 0;
        // A failed read ends the scan: the end of the log, or a record larger than the buffer
        // (which stays the end until the log drops it).
        if (!log.Read(handle, flags, offset, m_Buffer.data(), kBufferBytes, bytesRead,
                      bytesNeeded)) {
            return verifying ? Continued::AnchorLost : Continued::Yes;
        }
        flags = kSequentialForwards;
        bool anchorLost = false;
        const bool wellFormed = platform::WalkEventLogRecords(
            m_Buffer.data(), std::min<std::uint32_t>(bytesRead, kBufferBytes),
            [&](const platform::EventLogRecordView& record) {
                if (anchorLost) {
                    return;
                }
                if (verifying) {
                    verifying = false;
                    anchorLost = !(FingerprintOf(record) == m_Anchor);
                    return;
                }
                Apply(record);
            });
        if (anchorLost || verifying) {
            return Continued::AnchorLost;
        }
        // Damaged records end the scan; the next scan goes on from the last good record.
        if (!wellFormed) {
            return Continued::Yes;
        }
    }
}

ShutdownEventScan::Result ShutdownEventScan::Scan(platform::EventLog& log)
{
    const platform::EventLogHandle handle = log.Open(L"Application");
    if (handle == 0) {
        return Result::OpenFailed;
    }
    OpenLog closer(log, handle);
    std::uint32_t oldest = 0;
    if (!log.GetOldestRecord(handle, oldest)) {
        return Result::OldestRecordFailed;
    }

    // Numbers below the last oldest record mean a cleared log; an oldest record above the anchor
    // means the log has wrapped past it.
    const bool canContinue =
        m_bAnchored && oldest >= m_nOldest && oldest <= m_Anchor.recordNumber;
    m_nOldest = oldest;
    if (canContinue) {
        while (!m_Failures.empty() && m_Failures.front() < oldest) {
            m_Failures.pop_front();
        }
        if (ReadRecords(log, handle, kSeekForwards, m_Anchor.recordNumber, true) ==
            Continued::Yes) {
            return Result::Done;
        }
        Forget();
        ReadRecords(log, handle, kSeekForwards, oldest, false);
        return Result::Done;
    }
    Forget();
    ReadRecords(log, handle, kSequentialForwards, 0, false);
    return Result::Done;
}

}  // namespace MBDataAquisition
