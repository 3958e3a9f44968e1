#pragma once

#include <string>

#include <boost/date_time/posix_time/posix_time_types.hpp>

namespace dbg {

// The default text form of a Boost time without fractional seconds: "2026-Dec-07 04:06:33".
std::wstring FormatTimeStamp(const boost::posix_time::ptime& time);

// The local time now, at one-second resolution, in the form above.
std::wstring CurrentTimeStamp();

}  // namespace dbg
