#pragma once

#include <cstdint>
#include <string>

#include <boost/date_time/posix_time/posix_time_types.hpp>

// Local time as text, in the two forms the monitor writes.
namespace utils {

// The default text form of a Boost time without fractional seconds: "2026-Dec-07 04:06:33", the
// log's time stamps.
std::wstring FormatTimeStamp(const boost::posix_time::ptime& time);

// The local time now, at one-second resolution, in the form above.
std::wstring CurrentTimeStamp();

// "YYYY-MM-DD hh:mm:ss" of the local time at `seconds` since 1970 (the values file's heartbeat,
// the status table, the probe's history lines); 1970-01-01 00:00:00 for a time the C library
// cannot convert.
std::wstring LocalTimeText(std::int64_t seconds);

}  // namespace utils
