#include "data/sensor_fields.h"

#include <string>

#include "data/band_limits.h"

namespace MBDataContainer {

namespace {

std::int64_t Abs64(std::int64_t value)
{
    return value < 0 ? -value : value;
}

// The lower-limit tail shared by fans and batteries, once their short cuts have not applied.
Rating RateAgainstLowerBands(const MBDataField& field)
{
    const BandLimits limits =
        ComputeBandLimits(field.m_nSetpoint, field.m_nWarningPercent, field.m_nErrorPercent);
    const std::int64_t value = Magnitude(field.m_nValue);
    if (value < limits.lowerError) {
        return RatingError;
    }
    if (value < limits.lowerWarning) {
        return RatingWarning;
    }
    return RatingOk;
}

std::wstring Below(std::int64_t limit)
{
    return L"< " + std::to_wstring(limit);
}

std::wstring Above(std::int64_t limit)
{
    return L"> " + std::to_wstring(limit);
}

// The bands of a field with a lower limit, an upper limit or both; a setpoint of 0 leaves the
// field unwatched.
BandText Bands(const MBDataField& field, bool lowerLimit, bool upperLimit)
{
    if (field.m_nSetpoint == 0) {
        return {};
    }
    const BandLimits limits =
        ComputeBandLimits(field.m_nSetpoint, field.m_nWarningPercent, field.m_nErrorPercent);
    if (lowerLimit && upperLimit) {
        return {Below(limits.lowerWarning) + L" or " + Above(limits.upperWarning),
                Below(limits.lowerError) + L" or " + Above(limits.upperError)};
    }
    if (lowerLimit) {
        return {Below(limits.lowerWarning), Below(limits.lowerError)};
    }
    return {Above(limits.upperWarning), Above(limits.upperError)};
}

}  // namespace

BandLimits ComputeBandLimits(std::int32_t setpoint, std::int32_t warningPercent,
                             std::int32_t errorPercent)
{
    const std::int64_t s = setpoint;
    // Integer division truncates toward zero, as the rating rules require.
    const std::int64_t warningOffset = s * warningPercent / 100;
    const std::int64_t errorOffset = s * errorPercent / 100;
    return BandLimits{Abs64(s - errorOffset), Abs64(s - warningOffset), Abs64(s + errorOffset),
                      Abs64(s + warningOffset)};
}

BandText TempData::DescribeBands() const
{
    return Bands(*this, false, true);
}

Rating TempData::Preview() const
{
    if (m_nSetpoint == 0 || m_nValue < m_nSetpoint) {
        return RatingOk;
    }
    const BandLimits limits = ComputeBandLimits(m_nSetpoint, m_nWarningPercent, m_nErrorPercent);
    const std::int64_t value = Magnitude(m_nValue);
    if (value > limits.upperError) {
        return RatingError;
    }
    if (value > limits.upperWarning) {
        return RatingWarning;
    }
    return RatingOk;
}

BandText FanData::DescribeBands() const
{
    return Bands(*this, true, false);
}

Rating FanData::Preview() const
{
    if (m_nSetpoint == 0 || Magnitude(m_nValue) > Magnitude(m_nSetpoint)) {
        return RatingOk;
    }
    return RateAgainstLowerBands(*this);
}

BandText VoltageData::DescribeBands() const
{
    return Bands(*this, true, true);
}

Rating VoltageData::Preview() const
{
    if (m_nSetpoint == 0 || m_nValue == m_nSetpoint) {
        return RatingOk;
    }
    const BandLimits limits = ComputeBandLimits(m_nSetpoint, m_nWarningPercent, m_nErrorPercent);
    const std::int64_t value = Magnitude(m_nValue);
    if (value < limits.lowerError) {
        return RatingError;
    }
    if (value < limits.lowerWarning) {
        return RatingWarning;
    }
    if (value > limits.upperError) {
        return RatingError;
    }
    if (value > limits.upperWarning) {
        return RatingWarning;
    }
    return RatingOk;
}

BandText CMosBattData::DescribeBands() const
{
    return Bands(*this, true, false);
}

Rating CMosBattData::Preview() const
{
    if (m_nSetpoint == 0 || m_nValue > m_nSetpoint) {
        return RatingOk;
    }
    return RateAgainstLowerBands(*this);
}

BandText UpsBattData::DescribeBands() const
{
    return Bands(*this, true, false);
}

Rating UpsBattData::Preview() const
{
    if (m_nSetpoint == 0 || m_nValue > m_nSetpoint) {
        return RatingOk;
    }
    return RateAgainstLowerBands(*this);
}

}  // namespace MBDataContainer
