#include "service/cycle_export.h"

#include "service/com/version.h"

#include "broadcast/heartbeat.h"
#include "broadcast/last_snapshot.h"
#include "logging/log.h"
#include "platform/last_error.h"
#include "platform/clock.h"
#include "platform/seam.h"
#include "settings/cycle_time.h"
#include "settings/values_file.h"
#include "settings/values_file_writer.h"

namespace service {

CycleExport::CycleExport(bool p_bHeartbeat)
    : m_bHeartbeat(p_bHeartbeat),
      m_strValuesFile(GetValuesFilePath()),
      m_nCycleIntervalMs(ReadCycleTime().pause.count()),
      m_MetricsFile(MBBroadcast::ReadMetricsFilePath())
{
    MBBroadcast::ForgetSnapshot();
}

void CycleExport::CycleFailed(const std::wstring& p_strReason) noexcept
{
    if (!m_strFirstFailure.empty()) {
        return;
    }
    try {
        m_strFirstFailure = p_strReason.empty() ? std::wstring(L"unknown") : p_strReason;
    } catch (...) {
        // Out of memory: a later failure may still be kept.
    }
}

void CycleExport::CycleEnded(MBDataContainer::CycleSnapshot* p_pCycle, bool p_bFailed) noexcept
{
    ++m_nCycles;
    if (p_bFailed) {
        ++m_nFailedCycles;
        ++m_nFailedInARow;
    } else {
        m_nFailedInARow = 0;
    }
    if (p_pCycle == nullptr) {
        return;
    }
    try {
        MBDataContainer::CycleSnapshot& l_Snapshot = *p_pCycle;
        l_Snapshot.time = platform::Use<platform::Clock>().Now();
        l_Snapshot.cycleIntervalMs = m_nCycleIntervalMs;
        l_Snapshot.cycles = m_nCycles;
        l_Snapshot.failedCycles = m_nFailedCycles;
        l_Snapshot.consecutiveFailures = m_nFailedInARow;
        l_Snapshot.firstFailure = m_strFirstFailure;

        if (m_bHeartbeat) {
            MBBroadcast::WriteHeartbeat(l_Snapshot);
        }
        WriteValuesFile();
        m_MetricsFile.Write(l_Snapshot, BuildVersion());
        MBBroadcast::PublishSnapshot(l_Snapshot);
    } catch (...) {
        // Out of memory while copying the snapshot: the next cycle reports again.
    }
}

void CycleExport::WriteValuesFile() noexcept
{
    const wchar_t* const l_strLocation = L"service::CycleExport::WriteValuesFile";
    try {
        const ValuesFileWriter::Outcome l_Outcome =
            ValuesFileWriter::Instance().Flush(m_strValuesFile);
        if (l_Outcome == ValuesFileWriter::Outcome::Failed) {
            const unsigned long l_dwLastError = platform::GetLastErrorCode();
            // Once per run of failures: the file stays whole and the next cycle tries again.
            if (m_nFailedWrites++ == 0) {
                dbg::LogValueLine(VEXA_LOCATION(l_strLocation), 0, L"l_dwLastError", l_dwLastError);
                dbg::LogErrorLine(VEXA_LOCATION(l_strLocation), L"Unable to write ini file!");
            }
        } else if (l_Outcome == ValuesFileWriter::Outcome::Written && m_nFailedWrites != 0) {
            dbg::LogLine(VEXA_LOCATION(l_strLocation), 0,
                         L"Values file written again after " + std::to_wstring(m_nFailedWrites) +
                             L" failed writes");
            m_nFailedWrites = 0;
        }
    } catch (...) {
        // Out of memory: the writes stay pending for the next cycle.
    }
}

}  // namespace service
