#include "broadcast/metrics_file.h"

#include <cstddef>
#include <utility>

#include "broadcast/metrics_text.h"
#include "logging/log.h"
#include "platform/last_error.h"
#include "platform/profile.h"
#include "platform/replaced_file.h"
#include "platform/text.h"
#include "platform/seam.h"
#include "settings/device_path.h"
#include "settings/settings.h"

namespace MBBroadcast {
namespace {

const wchar_t kWrite[] = L"MBBroadcast::MetricsFile::Write";
const wchar_t kReadPath[] = L"MBBroadcast::ReadMetricsFilePath";

// The longest path Windows knows is 32,767 characters with its terminator. A value that fills
// this buffer may have been cut and is refused.
constexpr std::size_t kPathBufferChars = 32768;

// The collectors take files ending in ".prom"; Windows names match without regard to case.
bool EndsWithProm(const std::wstring& p_strPath)
{
    static const std::wstring kEnding = L".prom";
    if (p_strPath.size() < kEnding.size()) {
        return false;
    }
    return platform::EqualNoCase(p_strPath.substr(p_strPath.size() - kEnding.size()), kEnding);
}

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
    // Only a file the collectors read: never another file the account may write (a settings
    // file, a program), nor a device or a pipe whose server would see the add-on's identity.
    std::wstring l_strWhy;
    const std::wstring l_strDevice = DeviceKindOf(l_strPath);
    if (!l_strDevice.empty()) {
        l_strWhy = L"names " + l_strDevice + L", not a file";
    } else if (!l_strPath.empty() && !EndsWithProm(l_strPath)) {
        l_strWhy = L"does not end in .prom";
    }
    if (!l_strWhy.empty()) {
        dbg::LogLine(
            VEXA_LOCATION(kReadPath), 0,
            L"MetricsFile \"" + l_strPath + L"\" " + l_strWhy + L"; no metrics file is written");
        return {};
    }
    return l_strPath;
}

MetricsFile::MetricsFile(std::wstring p_strPath) : m_strPath(std::move(p_strPath)) {}

void MetricsFile::Write(const MBDataContainer::CycleSnapshot& p_Snapshot,
                        const std::wstring& p_strVersion) noexcept
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
