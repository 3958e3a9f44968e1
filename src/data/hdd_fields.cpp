#include "data/hdd_fields.h"

#include <string>

#include "data/band_limits.h"
#include "logging/log.h"

namespace MBDataContainer {

namespace {

// Shared by every critical-event field and kept across rebuilt data lists: a counter that was
// reported once is not an error again after the worker restarts.
std::int32_t s_nHighestCriticalCount = 0;

}  // namespace

Rating LifetimeData::Evaluate()
{
    dbg::LogValueLine(VEXA_LOCATION(L"MBDataContainer::LifetimeData::Evaluate"), 3, L"m_nSetpoint",
                      m_nSetpoint);
    return Preview();
}

Rating LifetimeData::Preview() const
{
    if (m_nSetpoint == 0) {
        return RatingOk;
    }
    return Magnitude(m_nValue) > Magnitude(m_nSetpoint) ? RatingWarning : RatingOk;
}

BandText LifetimeData::DescribeBands() const
{
    if (m_nSetpoint == 0) {
        return {};
    }
    return {L"> " + std::to_wstring(Magnitude(m_nSetpoint)), L""};
}

Rating CriticalHddEventsData::Evaluate()
{
    if (m_nValue > s_nHighestCriticalCount) {
        s_nHighestCriticalCount = m_nValue;
        return RatingError;
    }
    return Preview();
}

Rating CriticalHddEventsData::Preview() const
{
    return m_nValue != 0 ? RatingWarning : RatingOk;
}

BandText CriticalHddEventsData::DescribeBands() const
{
    // A count that has just risen rates error only on the broadcast's first pass; the rating
    // that the group records, and publishes, is warning.
    return {L"> 0, also rising", L""};
}

Rating CriticalWarningData::RateReading() const
{
    return m_nValue != 0 ? RatingError : RatingOk;
}

BandText CriticalWarningData::DescribeBands() const
{
    return {L"", L"not 0"};
}

Rating UpperLimitData::RateReading() const
{
    return m_nValue > m_nSetpoint ? RatingWarning : RatingOk;
}

std::int32_t CriticalHddEventsData::HighestCriticalCount()
{
    return s_nHighestCriticalCount;
}

BandText UpperLimitData::DescribeBands() const
{
    return {L"> " + std::to_wstring(m_nSetpoint), L""};
}

Rating DaysLeftData::Preview() const
{
    if (m_nValue < 0) {
        return RatingOk;
    }
    if (m_nValue <= m_nErrorDays) {
        return RatingError;
    }
    return m_nValue <= m_nSetpoint ? RatingWarning : RatingOk;
}

BandText DaysLeftData::DescribeBands() const
{
    return {L"<= " + std::to_wstring(m_nSetpoint), L"<= " + std::to_wstring(m_nErrorDays)};
}

}  // namespace MBDataContainer
