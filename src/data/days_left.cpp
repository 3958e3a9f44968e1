#include "data/days_left.h"

#include <algorithm>
#include <cmath>

namespace MBDataContainer {
namespace {

struct Point {
    double day;
    double value;
};

// The least-squares slope of value over day; 0 for points all on one day.
double Slope(const std::vector<Point>& points)
{
    double meanDay = 0;
    double meanValue = 0;
    for (const Point& point : points) {
        meanDay += point.day;
        meanValue += point.value;
    }
    meanDay /= static_cast<double>(points.size());
    meanValue /= static_cast<double>(points.size());
    double covariance = 0;
    double variance = 0;
    for (const Point& point : points) {
        covariance += (point.day - meanDay) * (point.value - meanValue);
        variance += (point.day - meanDay) * (point.day - meanDay);
    }
    return variance > 0 ? covariance / variance : 0;
}

std::int64_t Span(const std::vector<Point>& points)
{
    return points.empty() ? 0 : static_cast<std::int64_t>(points.back().day - points.front().day);
}

// Days until `latest` reaches `end` at `rate` a day; nothing when it never does.
std::optional<std::int32_t> DaysUntil(double latest, double end, double rate)
{
    if (latest >= end) {
        return 0;
    }
    if (!(rate > 0)) {
        return std::nullopt;
    }
    const double days = std::floor((end - latest) / rate);
    return static_cast<std::int32_t>(std::min(days, static_cast<double>(kMostDaysLeft)));
}

}  // namespace

DaysLeftForecast ForecastDaysLeft(const std::vector<RecordedDay>& days, std::int32_t lifetimeHours)
{
    DaysLeftForecast forecast;
    if (days.empty()) {
        return forecast;
    }
    const RecordedDay& today = days.back();
    forecast.wear = today.percentageUsed;

    // The usable days: inside the window, after the last fall of the power-on hours.
    std::size_t first = days.size() - 1;
    while (first > 0 && days[first - 1].day > today.day - kForecastWindowDays &&
           days[first - 1].powerOnHours <= days[first].powerOnHours) {
        --first;
    }
    std::vector<Point> wear;
    std::vector<Point> hours;
    for (std::size_t i = first; i < days.size(); ++i) {
        const double day = static_cast<double>(days[i].day);
        hours.push_back({day, static_cast<double>(days[i].powerOnHours)});
        if (days[i].percentageUsed) {
            wear.push_back({day, static_cast<double>(*days[i].percentageUsed)});
        }
    }
    forecast.spanDays = Span(hours);

    if (today.percentageUsed && !wear.empty() && wear.back().value > wear.front().value &&
        Span(wear) >= kForecastMinSpanDays) {
        if (const auto left = DaysUntil(wear.back().value, 100, Slope(wear))) {
            forecast.days = *left;
            forecast.basis = ForecastBasis::Wear;
            return forecast;
        }
    }
    if (lifetimeHours > 0 && forecast.spanDays >= kForecastMinSpanDays) {
        if (const auto left =
                DaysUntil(hours.back().value, static_cast<double>(lifetimeHours), Slope(hours))) {
            forecast.days = *left;
            forecast.basis = ForecastBasis::Hours;
        }
    }
    return forecast;
}

}  // namespace MBDataContainer
