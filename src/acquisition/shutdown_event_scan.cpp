#include "acquisition/shutdown_event_scan.h"

#include <algorithm>
#include <string>

#include "platform/last_error.h"

namespace MBDataAquisition {
namespace {

constexpr std::uint32_t kFailuresReset = 67;
constexpr std::uint32_t kShutdownFailure = 69;
constexpr std::uint32_t kSequentialForwards =
    platform::kEventLogSequentialRead | platform::kEventLogForwardsRead;

}  // namespace

ShutdownEventScan::~ShutdownEventScan()
{
    Close();
}

bool ShutdownEventScan::IsShutdownEvent(const platform::EventLogRecordView& record)
{
    return record.eventType == platform::kEventTypeInformation &&
           (record.eventId == kFailuresReset || record.eventId == kShutdownFailure) &&
           (record.sourceName.find(L"TwinCAT") != std::wstring::npos ||
            record.sourceName.find(L"EventLog") != std::wstring::npos);
}

bool ShutdownEventScan::Open(platform::EventLog& log)
{
    Close();
    const platform::EventLogHandle handle = log.Open(L"Application");
    if (handle == 0) {
        m_nLastError = platform::GetLastErrorCode();
        return false;
    }
    m_pLog = &log;
    m_hLog = handle;
    return true;
}

void ShutdownEventScan::Close()
{
    if (m_pLog != nullptr) {
        m_pLog->Close(m_hLog);
    }
    m_pLog = nullptr;
    m_hLog = 0;
    m_bContinuable = false;
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
    m_nNext = record.recordNumber + 1;
}

ShutdownEventScan::ReadEnd ShutdownEventScan::ReadOn()
{
    m_Buffer.resize(kBufferBytes);
    while (true) {
        std::uint32_t bytesRead = 0;
        std::uint32_t bytesNeeded = 0;
        if (!m_pLog->Read(m_hLog, kSequentialForwards, 0, m_Buffer.data(), kBufferBytes, bytesRead,
                          bytesNeeded)) {
            // The end of the log, or a record larger than the buffer, which stays the end until
            // the log drops it (the position does not move past it). Anything else means the
            // handle no longer reads on where it stood.
            const unsigned long error = platform::GetLastErrorCode();
            return error == platform::kErrorHandleEof || error == platform::kErrorInsufficientBuffer
                       ? ReadEnd::EndOfLog
                       : ReadEnd::Interrupted;
        }
        bool continuous = true;
        const bool wellFormed = platform::WalkEventLogRecords(
            m_Buffer.data(), std::min<std::uint32_t>(bytesRead, kBufferBytes),
            [&](const platform::EventLogRecordView& record) {
                if (!continuous) {
                    return;
                }
                if (m_nNext != 0 && record.recordNumber != m_nNext) {
                    continuous = false;
                    return;
                }
                Apply(record);
            });
        if (!continuous || !wellFormed) {
            return ReadEnd::Interrupted;
        }
    }
}

ShutdownEventScan::Result ShutdownEventScan::Rescan(platform::EventLog& log)
{
    if (!Open(log)) {
        return Result::OpenFailed;
    }
    std::uint32_t oldest = 0;
    if (!log.GetOldestRecord(m_hLog, oldest)) {
        m_nLastError = platform::GetLastErrorCode();
        Close();
        return Result::OldestRecordFailed;
    }
    m_Failures.clear();
    m_nOldest = oldest;
    m_nNext = 0;
    // Damaged records end the reading, as they end a full reading; the next scan reads anew.
    m_bContinuable = ReadOn() == ReadEnd::EndOfLog;
    return Result::Done;
}

ShutdownEventScan::Result ShutdownEventScan::Scan(platform::EventLog& log)
{
    if (m_pLog != &log || !m_bContinuable) {
        return Rescan(log);
    }
    std::uint32_t oldest = 0;
    if (!log.GetOldestRecord(m_hLog, oldest)) {
        return Rescan(log);
    }
    // Numbers below the last oldest record mean a cleared log; an oldest record beyond the next
    // one to read means the log has wrapped past records not read yet.
    if (oldest < m_nOldest || (m_nNext != 0 && oldest > m_nNext)) {
        return Rescan(log);
    }
    m_nOldest = oldest;
    while (!m_Failures.empty() && m_Failures.front() < oldest) {
        m_Failures.pop_front();
    }
    if (ReadOn() == ReadEnd::Interrupted) {
        return Rescan(log);
    }
    return Result::Done;
}

}  // namespace MBDataAquisition
