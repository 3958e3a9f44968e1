#include "logging/time_stamp.h"

#include <boost/date_time/posix_time/posix_time.hpp>

namespace dbg {

std::wstring FormatTimeStamp(const boost::posix_time::ptime& time)
{
    return boost::posix_time::to_simple_wstring(time);
}

std::wstring CurrentTimeStamp()
{
    return FormatTimeStamp(boost::posix_time::second_clock::local_time());
}

}  // namespace dbg
