#include "data/sensor_fields.h"

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

Rating TempData::Evaluate()
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

Rating FanData::Evaluate()
{
    if (m_nSetpoint == 0 || Magnitude(m_nValue) > Magnitude(m_nSetpoint)) {
        return RatingOk;
    }
    return RateAgainstLowerBands(*this);
}

Rating VoltageData::Evaluate()
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

Rating CMosBattData::Evaluate()
{
    if (m_nSetpoint == 0 || m_nValue > m_nSetpoint) {
        return RatingOk;
    }
    return RateAgainstLowerBands(*this);
}

Rating UpsBattData::Evaluate()
{
    if (m_nSetpoint == 0 || m_nValue > m_nSetpoint) {
        return RatingOk;
    }
    return RateAgainstLowerBands(*this);
}

}  // namespace MBDataContainer
