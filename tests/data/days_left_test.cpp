#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "data/days_left.h"

namespace {

using MBDataContainer::ForecastBasis;
using MBDataContainer::RecordedDay;

// `count` days from day 20000 on, with the power-on hours and the percentage used (or none, for
// a negative value) of each day's index.
std::vector<RecordedDay> Days(int count, const std::function<std::int64_t(int)>& hours,
                              const std::function<double(int)>& wear)
{
    std::vector<RecordedDay> days;
    for (int i = 0; i < count; ++i) {
        RecordedDay day;
        day.day = 20000 + i;
        day.powerOnHours = hours(i);
        const double used = wear(i);
        if (used >= 0) {
            day.percentageUsed = static_cast<std::int32_t>(std::floor(used));
        }
        days.push_back(day);
    }
    return days;
}

// The forecast on recorded days against what the days' own rate leaves: the wear to 100 % or the
// hours to the setpoint of 45000.
TEST(DaysLeftForecast, FollowsTheRateOfTheRecordedDays)
{
    const auto steady = [](int i) { return 40 + 0.5 * i; };
    // Readings one point above or below a rise of 0.2 % a day.
    const auto noisy = [](int i) { return 20 + 0.2 * i + (i % 3 == 0 ? 1 : i % 3 == 1 ? -1 : 0); };
    const auto fullDays = [](int i) { return std::int64_t{10000} + 24 * i; };
    const auto shifts = [](int i) { return std::int64_t{20000} + 16 * i; };
    const auto none = [](int) { return -1.0; };
    // A drive 60 days old, then a used one (the hours fall) rising 1 % a day from 10 %.
    const auto swapHours = [](int i) {
        return i < 60 ? std::int64_t{30000} + 24 * i : 500 + 20 * (i - 60);
    };
    const auto swapWear = [](int i) { return i < 60 ? 70.0 : 10.0 + (i - 60); };

    const struct {
        const char* name;
        std::vector<RecordedDay> days;
        std::int32_t lifetime;
        ForecastBasis basis;
        double expected;
        double tolerance;
        std::int64_t span;
    } cases[] = {
        {"steady rise: 80 days of 0.5 % a day from 40 %", Days(81, fullDays, steady), 45000,
         ForecastBasis::Wear, (100 - 80) / 0.5, 2, 80},
        {"only the last 90 days count",
         Days(200, fullDays, [](int i) { return i < 110 ? 0.1 * i : 11 + (i - 110) * 0.8; }), 45000,
         ForecastBasis::Wear, (100 - 82) / 0.8, 2, 89},
        {"noise around a rise of 0.2 % a day", Days(60, fullDays, noisy), 45000,
         ForecastBasis::Wear, (100 - 31) / 0.2, 15, 59},
        {"flat wear goes on hours", Days(30, fullDays, [](int) { return 40.0; }), 45000,
         ForecastBasis::Hours, (45000 - (10000 + 24 * 29)) / 24.0, 1, 29},
        {"hours only: 16 hours a day", Days(20, shifts, none), 45000, ForecastBasis::Hours,
         (45000 - (20000 + 16 * 19)) / 16.0, 1, 19},
        {"a swap mid-way: the new drive's 20 days alone", Days(81, swapHours, swapWear), 45000,
         ForecastBasis::Wear, (100 - 30) / 1.0, 1, 20},
        {"a swap mid-way, too few days of the new drive", Days(70, swapHours, swapWear), 45000,
         ForecastBasis::None, -1, 0, 9},
        {"too few days: 13 days of span", Days(14, fullDays, steady), 45000, ForecastBasis::None,
         -1, 0, 13},
        {"just enough: 14 days of span", Days(15, fullDays, steady), 45000, ForecastBasis::Wear,
         (100 - 47) / 0.5, 1, 14},
        {"hours not watched, wear flat", Days(30, fullDays, [](int) { return 40.0; }), 0,
         ForecastBasis::None, -1, 0, 29},
        {"a powered-off drive gains no hours",
         Days(
             30, [](int) { return std::int64_t{100}; }, none),
         45000, ForecastBasis::None, -1, 0, 29},
        {"past the lifetime setpoint", Days(30, fullDays, none), 10000, ForecastBasis::Hours, 0, 0,
         29},
        {"worn past its rated life", Days(20, fullDays, [](int i) { return 95.0 + i; }), 45000,
         ForecastBasis::Wear, 0, 0, 19},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const MBDataContainer::DaysLeftForecast forecast =
            MBDataContainer::ForecastDaysLeft(c.days, c.lifetime);
        EXPECT_EQ(forecast.basis, c.basis);
        EXPECT_NEAR(forecast.days, c.expected, c.tolerance);
        EXPECT_EQ(forecast.spanDays, c.span);
        EXPECT_EQ(forecast.wear, c.days.back().percentageUsed);
    }
}

}  // namespace
