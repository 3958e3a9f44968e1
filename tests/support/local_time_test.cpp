#include "support/local_time.h"

#include <gtest/gtest.h>

#include <boost/date_time/posix_time/posix_time.hpp>

#include "fakes/log_capture.h"

namespace {

TEST(LocalTime, DefaultBoostFormWithoutFractions)
{
    using namespace boost::posix_time;
    using namespace boost::gregorian;
    EXPECT_EQ(
        utils::FormatTimeStamp(ptime(date(2026, Dec, 7), hours(4) + minutes(6) + seconds(33))),
        L"2026-Dec-07 04:06:33");
    EXPECT_EQ(
        utils::FormatTimeStamp(ptime(date(2027, Jan, 31), hours(23) + minutes(59) + seconds(0))),
        L"2027-Jan-31 23:59:00");
    const std::wstring now = utils::CurrentTimeStamp();
    EXPECT_EQ(fakes::MaskTimeStamps(std::string(now.begin(), now.end())), "T");
}

}  // namespace
