#include "data/hdd_fields.h"

#include <gtest/gtest.h>

#include "fakes/log_capture.h"

namespace MBDataContainer {
namespace {

Rating Lifetime(std::int32_t p_nSetpoint, std::int32_t p_nValue)
{
    LifetimeData l_Field;
    l_Field.m_nSetpoint = p_nSetpoint;
    l_Field.m_nValue = p_nValue;
    return l_Field.Evaluate();
}

TEST(LifetimeDataTest, WarnsBeyondTheMaximumAndNeverErrs)
{
    EXPECT_EQ(Lifetime(45000, 44999), RatingOk);
    EXPECT_EQ(Lifetime(45000, 45000), RatingOk);
    EXPECT_EQ(Lifetime(45000, 45001), RatingWarning);
    EXPECT_EQ(Lifetime(45000, 65535), RatingWarning);
    EXPECT_EQ(Lifetime(45000, 70000), RatingWarning);  // power-on hours past 16 bits
    EXPECT_EQ(Lifetime(0, 65535), RatingOk);
    EXPECT_EQ(Lifetime(0, 0), RatingOk);
}

TEST(LifetimeDataTest, LogsItsSetpoint)
{
    fakes::LogCapture l_Log(3);
    Lifetime(45000, 1);
    EXPECT_NE(l_Log.Normalized(true).find(
                  "MBDataContainer::LifetimeData::Evaluate  line: N\t\tm_nSetpoint\t45000\r\n"),
              std::string::npos)
        << l_Log.Normalized(true);
}

// The highest count belongs to the process and only grows, so each case starts above it.
class CriticalHddEventsDataTest : public testing::Test {
protected:
    static CriticalHddEventsData Field(std::int32_t p_nValue)
    {
        CriticalHddEventsData l_Field;
        l_Field.m_nValue = p_nValue;
        return l_Field;
    }
    const std::int32_t m_nBase = CriticalHddEventsData::HighestCriticalCount();
};

TEST_F(CriticalHddEventsDataTest, ZeroIsAlwaysOk)
{
    auto l_Field = Field(0);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(l_Field.Evaluate(), RatingOk);
    }
    l_Field.m_nSetpoint = -5;  // the setpoint plays no part
    EXPECT_EQ(l_Field.Evaluate(), RatingOk);
}

TEST_F(CriticalHddEventsDataTest, ANewHighRatesErrorOnceThenWarning)
{
    auto l_Reallocated = Field(m_nBase + 3);
    EXPECT_EQ(l_Reallocated.Evaluate(), RatingError);
    EXPECT_EQ(CriticalHddEventsData::HighestCriticalCount(), m_nBase + 3);
    EXPECT_EQ(l_Reallocated.Evaluate(), RatingWarning);
    EXPECT_EQ(l_Reallocated.Evaluate(), RatingWarning);
    l_Reallocated.m_nValue = 0;
    EXPECT_EQ(l_Reallocated.Evaluate(), RatingOk);
}

TEST_F(CriticalHddEventsDataTest, TheHighestCountIsSharedByAllFields)
{
    auto l_Reallocation = Field(m_nBase + 3);
    auto l_Reallocated = Field(m_nBase + 5);
    EXPECT_EQ(l_Reallocation.Evaluate(), RatingError);
    EXPECT_EQ(l_Reallocated.Evaluate(), RatingError);
    EXPECT_EQ(CriticalHddEventsData::HighestCriticalCount(), m_nBase + 5);
    EXPECT_EQ(l_Reallocation.Evaluate(), RatingWarning);
    EXPECT_EQ(l_Reallocated.Evaluate(), RatingWarning);

    auto l_Uncorrectable = Field(m_nBase + 4);
    EXPECT_EQ(l_Uncorrectable.Evaluate(), RatingWarning);
    EXPECT_EQ(CriticalHddEventsData::HighestCriticalCount(), m_nBase + 5);

    // A field made later, as after a restart of the worker, finds the count as it was.
    auto l_Later = Field(m_nBase + 5);
    EXPECT_EQ(l_Later.Evaluate(), RatingWarning);
}

}  // namespace
}  // namespace MBDataContainer

namespace MBDataContainer {
namespace {

TEST(DiskHealthFieldsTest, AnyCriticalWarningBitIsAnErrorEveryTime)
{
    CriticalWarningData l_Field;
    l_Field.m_nSetpoint = 5;  // plays no part
    EXPECT_EQ(l_Field.Evaluate(), RatingOk);
    for (const std::int32_t l_nBits : {0x01, 0x08, 0x10, 0xFF}) {
        l_Field.m_nValue = l_nBits;
        EXPECT_EQ(l_Field.Evaluate(), RatingError);
        EXPECT_EQ(l_Field.Evaluate(), RatingError);
    }
}

TEST(DiskHealthFieldsTest, ALimitWarnsOnlyAboveItsSetpoint)
{
    UpperLimitData l_Field;
    l_Field.m_nSetpoint = 70;
    const std::pair<std::int32_t, Rating> l_Cases[] = {{70, RatingOk},
                                                       {71, RatingWarning},
                                                       {-40, RatingOk},
                                                       {-273, RatingOk},
                                                       {2147483647, RatingWarning}};
    for (const auto& [l_nValue, l_Expected] : l_Cases) {
        l_Field.m_nValue = l_nValue;
        EXPECT_EQ(l_Field.Evaluate(), l_Expected) << l_nValue;
    }
    // A limit of 0 still watches: unlike the lifetime, 0 is no "unwatched" marker.
    l_Field.m_nSetpoint = 0;
    l_Field.m_nValue = 1;
    EXPECT_EQ(l_Field.Evaluate(), RatingWarning);
}

}  // namespace
}  // namespace MBDataContainer

namespace {

// -1 (no forecast yet) is ok; the bands include their limits.
TEST(DaysLeftData, RatesTheDaysLeftAgainstBothBands)
{
    const struct {
        std::int32_t days;
        MBDataContainer::Rating rating;
    } cases[] = {{-1, MBDataContainer::RatingOk},       {0, MBDataContainer::RatingError},
                 {30, MBDataContainer::RatingError},    {31, MBDataContainer::RatingWarning},
                 {180, MBDataContainer::RatingWarning}, {181, MBDataContainer::RatingOk}};
    MBDataContainer::DaysLeftData field;
    field.m_nSetpoint = 180;
    field.m_nErrorDays = 30;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.days);
        field.m_nValue = c.days;
        EXPECT_EQ(field.Evaluate(), c.rating);
    }
}

}  // namespace
