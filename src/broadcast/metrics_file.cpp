#include "broadcast/metrics_file.h"

#include <cstddef>
#include <utility>

#include "broadcast/metrics_text.h"
#include "logging/log.h"
#include "platform/last_error.h"
#include "platform/profile.h"
#include "platform/replaced_file.h"
#include "platform/seam.h"
#include "settings/settings.h"

namespace MBBroadcast {
namespace {

const wchar_t kWrite[] = L"MBBroadcast::MetricsFile::Write";
const wchar_t kReadPath[] = L"MBBroadcast::ReadMetricsFilePath";

// The longest path Windows knows is 32,767 characters with its terminator. A value that fills
// this buffer may have been cut and is refused.
constexpr std::size_t kPathBufferChars = 32768;

}  // namespace

std::wstring ReadMetricsFilePath()
{
    std::wstring l_strPath = platform::Use<platform::Profile>().GetString(
        L"Export", L"MetricsFile", L"", kPathBufferChars, GetModuleIniPath());
    if (l_strPath.size() >= kPathBufferChars - 1) {
        dbg::LogLine(VEXA_LOCATION(kReadPath), 0,
                     L"MetricsFile is longer than " + std::to_wstring(kPathBufferChars - 2) +
                         L" characters; no metrics file is written");
        return {};
    }
    return l_strPath;
}

MetricsFile::MetricsFile(std::wstring p_strPath) : m_strPath(std::move(p_strPath)) {}

void MetricsFile::Write(const CycleSnapshot& p_Snapshot, const std::wstring& p_strVersion) noexcept
{
    if (!IsOn()) {
        return;
    }
    try {
        const bool l_bWritten = platform::Use<platform::ReplacedFile>().Write(
            m_strPath, RenderMetrics(p_Snapshot, p_strVersion));
        if (!l_bWritten && !m_bFailing) {
            const unsigned long l_dwLastError = platform::GetLastErrorCode();
            m_bFailing = true;
            dbg::LogValueLine(VEXA_LOCATION(kWrite), 0, L"l_dwLastError", l_dwLastError);
            dbg::LogValueLine(VEXA_LOCATION(kWrite), 0, L"m_strPath", m_strPath);
            dbg::LogErrorLine(VEXA_LOCATION(kWrite), L"Unable to write metrics file!");
        } else if (l_bWritten && m_bFailing) {
            m_bFailing = false;
            dbg::LogValueLine(VEXA_LOCATION(kWrite), 0, L"m_strPath", m_strPath);
            dbg::LogLine(VEXA_LOCATION(kWrite), 0, L"Metrics file written again");
        }
    } catch (...) {
        // Out of memory while rendering: the next cycle tries again.
    }
}

}  // namespace MBBroadcast
