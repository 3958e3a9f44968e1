#include "support/local_time.h"

#include <cstdio>
#include <ctime>

#include <boost/date_time/c_time.hpp>
#include <boost/date_time/posix_time/posix_time.hpp>

namespace utils {

std::wstring FormatTimeStamp(const boost::posix_time::ptime& time)
{
    return boost::posix_time::to_simple_wstring(time);
}

std::wstring CurrentTimeStamp()
{
    return FormatTimeStamp(boost::posix_time::second_clock::local_time());
}

std::wstring LocalTimeText(std::int64_t seconds)
{
    const std::time_t time = static_cast<std::time_t>(seconds);
    std::tm local{};
    try {
        // Where the C library has no reentrant form, the result is the library's own (thread-
        // local on Windows) record, not the one passed in.
        local = *boost::date_time::c_time::localtime(&time, &local);
    } catch (...) {
        local = std::tm{};
        local.tm_mday = 1;
        local.tm_year = 70;
    }
    wchar_t text[32];
    std::swprintf(text, sizeof text / sizeof text[0], L"%04d-%02d-%02d %02d:%02d:%02d",
                  local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                  local.tm_min, local.tm_sec);
    return text;
}

}  // namespace utils
