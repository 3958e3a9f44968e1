#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "data/drive_record.h"

namespace MBDataContainer {

// What a forecast rests on: the rise of the percentage used, or the power-on hours against the
// lifetime setpoint; None without enough days.
enum class ForecastBasis { None, Wear, Hours };

// The bases' names, as the metrics label a forecast and the status table shows it.
struct ForecastBasisName {
    ForecastBasis basis;
    const wchar_t* name;
};
inline constexpr ForecastBasisName kForecastBasisNames[] = {{ForecastBasis::None, L"none"},
                                                            {ForecastBasis::Wear, L"wear"},
                                                            {ForecastBasis::Hours, L"hours"}};

// "wear", "hours"; "none" for None and any value outside the enumeration.
inline const wchar_t* NameOf(ForecastBasis basis)
{
    for (const ForecastBasisName& entry : kForecastBasisNames) {
        if (entry.basis == basis) {
            return entry.name;
        }
    }
    return kForecastBasisNames[0].name;
}

// The forecast's window and the span of days it needs inside it.
inline constexpr std::int64_t kForecastWindowDays = 90;
inline constexpr std::int64_t kForecastMinSpanDays = 14;
// Longer forecasts say nothing more and are given as this.
inline constexpr std::int32_t kMostDaysLeft = 99999;

struct DaysLeftForecast {
    // Whole days until the end of the drive's life; -1 without a basis.
    std::int32_t days = -1;
    ForecastBasis basis = ForecastBasis::None;
    // Days between the first and the last usable recorded day (at most the window).
    std::int64_t spanDays = 0;
    // The latest percentage used, when the drive reports it.
    std::optional<std::int32_t> wear;
};

// Estimates the days left of one drive from its recorded days (oldest first, the last one being
// today's), using the days of the last kForecastWindowDays after the last fall of the power-on
// hours (which no single drive shows: an earlier drive's days in the same history are left out).
// On wear when the latest day reports a percentage used that has risen inside the window: the
// least-squares slope of the percentage over the days gives the rate, 100 % the end. Otherwise on
// hours: the slope of the power-on hours per day against `lifetimeHours` (0: not watched). Either
// needs kForecastMinSpanDays of span and a rate above zero; a drive already at its end has 0 days.
DaysLeftForecast ForecastDaysLeft(const std::vector<RecordedDay>& days, std::int32_t lifetimeHours);

}  // namespace MBDataContainer
