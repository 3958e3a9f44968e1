#include "data/sensor_fields.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

namespace MBDataContainer {
namespace {

// Rates `value` with a fresh field of kind T, setpoint `setpoint` and the default bands
// (warning 10 %, error 20 %).
template <class T>
Rating Rate(std::int32_t setpoint, std::int32_t value, std::int32_t warning = 10,
            std::int32_t error = 20)
{
    T field;
    field.m_nSetpoint = setpoint;
    field.m_nValue = value;
    field.m_nWarningPercent = warning;
    field.m_nErrorPercent = error;
    return field.Evaluate();
}

TEST(SensorFields, NewFieldIsEmpty)
{
    UpsBattData field;
    EXPECT_EQ(field.m_nSetpoint, 0);
    EXPECT_EQ(field.m_nValue, 0);
    EXPECT_EQ(field.m_nWarningPercent, 0);
    EXPECT_EQ(field.m_nErrorPercent, 0);
    EXPECT_EQ(field.m_nCapacity, 0);
    EXPECT_TRUE(field.m_strName.empty());
}

TEST(SensorFields, RatingsAreOrderedWorstHighest)
{
    EXPECT_EQ(RatingNone, 0);
    EXPECT_LT(RatingOk, RatingWarning);
    EXPECT_LT(RatingWarning, RatingError);
    EXPECT_EQ(RatingError, 3);
}

TEST(SensorFields, TemperatureIsAnUpperLimit)
{
    EXPECT_EQ(Rate<TempData>(60, 60), RatingOk);
    EXPECT_EQ(Rate<TempData>(60, -100), RatingOk);
    EXPECT_EQ(Rate<TempData>(60, 66), RatingOk);
    EXPECT_EQ(Rate<TempData>(60, 67), RatingWarning);
    EXPECT_EQ(Rate<TempData>(60, 72), RatingWarning);
    EXPECT_EQ(Rate<TempData>(60, 73), RatingError);
    EXPECT_EQ(Rate<TempData>(0, 95), RatingOk);
}

TEST(SensorFields, BandOffsetsAreTruncatedTowardZero)
{
    EXPECT_EQ(Rate<TempData>(55, 60), RatingOk);
    EXPECT_EQ(Rate<TempData>(55, 61), RatingWarning);
}

TEST(SensorFields, FanIsALowerLimit)
{
    EXPECT_EQ(Rate<FanData>(3000, 3500), RatingOk);
    EXPECT_EQ(Rate<FanData>(3000, 2700), RatingOk);
    EXPECT_EQ(Rate<FanData>(3000, 2699), RatingWarning);
    EXPECT_EQ(Rate<FanData>(3000, 2400), RatingWarning);
    EXPECT_EQ(Rate<FanData>(3000, 2399), RatingError);
    EXPECT_EQ(Rate<FanData>(3000, 0), RatingError);
    // The UPS working field: running is 1000, stopped is 0.
    EXPECT_EQ(Rate<FanData>(200, 1000), RatingOk);
    EXPECT_EQ(Rate<FanData>(200, 0), RatingError);
    // The fan's short cut compares magnitudes.
    EXPECT_EQ(Rate<FanData>(3000, -3500), RatingOk);
}

TEST(SensorFields, VoltageIsATwoSidedBand)
{
    EXPECT_EQ(Rate<VoltageData>(3300, 3300), RatingOk);
    EXPECT_EQ(Rate<VoltageData>(3300, 2970), RatingOk);
    EXPECT_EQ(Rate<VoltageData>(3300, 2969), RatingWarning);
    EXPECT_EQ(Rate<VoltageData>(3300, 2640), RatingWarning);
    EXPECT_EQ(Rate<VoltageData>(3300, 2639), RatingError);
    EXPECT_EQ(Rate<VoltageData>(3300, 3630), RatingOk);
    EXPECT_EQ(Rate<VoltageData>(3300, 3631), RatingWarning);
    EXPECT_EQ(Rate<VoltageData>(3300, 3960), RatingWarning);
    EXPECT_EQ(Rate<VoltageData>(3300, 3961), RatingError);
}

TEST(SensorFields, NegativeRailIsRatedByMagnitude)
{
    EXPECT_EQ(Rate<VoltageData>(-12000, -11000), RatingOk);
    EXPECT_EQ(Rate<VoltageData>(-12000, -10799), RatingWarning);
    EXPECT_EQ(Rate<VoltageData>(-12000, -9599), RatingError);
    EXPECT_EQ(Rate<VoltageData>(-12000, -13201), RatingWarning);
}

TEST(SensorFields, BatteriesShareTheLowerLimitRule)
{
    for (auto rate : {&Rate<CMosBattData>, &Rate<UpsBattData>}) {
        EXPECT_EQ(rate(100, 100, 10, 20), RatingOk);
        EXPECT_EQ(rate(100, 120, 10, 20), RatingOk);
        EXPECT_EQ(rate(100, 90, 10, 20), RatingOk);
        EXPECT_EQ(rate(100, 89, 10, 20), RatingWarning);
        EXPECT_EQ(rate(100, 80, 10, 20), RatingWarning);
        EXPECT_EQ(rate(100, 79, 10, 20), RatingError);
        EXPECT_EQ(rate(100, 0, 10, 20), RatingError);
        EXPECT_EQ(rate(0, -5, 10, 20), RatingOk);
    }
}

TEST(SensorFields, UnmonitoredFieldIsOkWhateverItReads)
{
    EXPECT_EQ(Rate<TempData>(0, INT_MAX), RatingOk);
    EXPECT_EQ(Rate<FanData>(0, 0), RatingOk);
    EXPECT_EQ(Rate<VoltageData>(0, INT_MIN), RatingOk);
    EXPECT_EQ(Rate<CMosBattData>(0, 0), RatingOk);
}

TEST(SensorFields, ExtremeSettingsDoNotOverflow)
{
    // A mistyped setpoint or percentage must still give a defined rating.
    EXPECT_EQ(Rate<VoltageData>(INT_MAX, INT_MIN, INT_MAX, INT_MAX), RatingError);
    EXPECT_EQ(Rate<FanData>(INT_MIN, 0), RatingError);
    EXPECT_EQ(Rate<TempData>(INT_MIN + 1, INT_MAX, INT_MIN, INT_MIN), RatingOk);
}

TEST(SensorFields, EachKindIsItsOwnClass)
{
    UpsBattData ups;
    MBDataField& field = ups;
    EXPECT_EQ(dynamic_cast<CMosBattData*>(&field), nullptr);
    EXPECT_NE(dynamic_cast<UpsBattData*>(&field), nullptr);
}

}  // namespace
}  // namespace MBDataContainer
