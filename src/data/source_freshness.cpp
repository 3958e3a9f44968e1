#include "data/source_freshness.h"

#include "logging/log.h"
#include "platform/clock.h"
#include "platform/seam.h"

namespace MBDataContainer {
namespace {

const wchar_t kObserve[] = L"MBDataContainer::SourceFreshness::Observe";

bool IsStale(std::int64_t p_nAge, std::int64_t p_nLimit)
{
    return p_nLimit > 0 && p_nAge >= p_nLimit;
}

}  // namespace

SourceFreshness::SourceFreshness(const FreshnessLimits& p_Limits)
    : m_Limits(p_Limits),
      m_nSensorChanged(platform::Use<platform::Clock>().Monotonic()),
      m_nDiskRead(m_nSensorChanged)
{
}

void SourceFreshness::Observe(const std::string& p_strSensorData,
                              const MBDataAquisition::DiskHealth* p_pDisk)
{
    // Ages count on the monotonic clock: a wall clock set back or forward neither makes stale
    // data pass for fresh nor fresh data stale.
    const std::int64_t l_nNow = platform::Use<platform::Clock>().Monotonic();
    if (!p_strSensorData.empty() && p_strSensorData != m_strSensorData) {
        m_strSensorData = p_strSensorData;
        m_nSensorChanged = l_nNow;
    }
    if (p_pDisk != nullptr && p_pDisk->source != MBDataAquisition::DiskSource::None) {
        m_bDiskEverRead = true;
        m_nDiskRead = l_nNow;
    }

    SourceAges l_Ages;
    l_Ages.sensorSeconds = l_nNow - m_nSensorChanged;
    l_Ages.diskSeconds = l_nNow - m_nDiskRead;
    l_Ages.sensorsStale = IsStale(l_Ages.sensorSeconds, m_Limits.sensorSeconds);
    l_Ages.diskNeverRead = !m_bDiskEverRead;
    l_Ages.diskStale = IsStale(l_Ages.diskSeconds, m_Limits.diskSeconds) ||
                       (m_Limits.diskSeconds > 0 && l_Ages.diskNeverRead);

    if (l_Ages.sensorsStale != m_Ages.sensorsStale) {
        dbg::LogLine(VEXA_LOCATION(kObserve), 0,
                     l_Ages.sensorsStale ? L"Sensor data unchanged for " +
                                               std::to_wstring(l_Ages.sensorSeconds) + L" s"
                                         : std::wstring(L"Sensor data changing again"));
    }
    if (l_Ages.diskStale != m_Ages.diskStale) {
        dbg::LogLine(VEXA_LOCATION(kObserve), 0,
                     !l_Ages.diskStale      ? std::wstring(L"System disk read again")
                     : l_Ages.diskNeverRead ? std::wstring(L"System disk never read")
                                            : L"System disk not read for " +
                                                  std::to_wstring(l_Ages.diskSeconds) + L" s");
    }
    m_Ages = l_Ages;
}

}  // namespace MBDataContainer
