#include "data/hdd_fields.h"

#include <cstdlib>

#include "logging/log.h"

namespace MBDataContainer {

namespace {

// Shared by every critical-event field and kept across rebuilt data lists: a counter that was
// reported once is not an error again after the worker restarts.
std::int32_t s_nHighestCriticalCount = 0;

std::int64_t Magnitude(std::int32_t p_nValue)
{
    return std::llabs(static_cast<std::int64_t>(p_nValue));
}

}  // namespace

Rating LifetimeData::Evaluate()
{
    dbg::LogValueLine(VEXA_LOCATION(L"MBDataContainer::LifetimeData::Evaluate"), 3, L"m_nSetpoint",
                      m_nSetpoint);
    if (m_nSetpoint == 0) {
        return RatingOk;
    }
    return Magnitude(m_nValue) > Magnitude(m_nSetpoint) ? RatingWarning : RatingOk;
}

Rating CriticalHddEventsData::Evaluate()
{
    if (m_nValue > s_nHighestCriticalCount) {
        s_nHighestCriticalCount = m_nValue;
        return RatingError;
    }
    return m_nValue != 0 ? RatingWarning : RatingOk;
}

Rating NvmeCriticalWarningData::Evaluate()
{
    return m_nValue != 0 ? RatingError : RatingOk;
}

Rating NvmeLimitData::Evaluate()
{
    return m_nValue > m_nSetpoint ? RatingWarning : RatingOk;
}

std::int32_t CriticalHddEventsData::HighestCriticalCount()
{
    return s_nHighestCriticalCount;
}

}  // namespace MBDataContainer
