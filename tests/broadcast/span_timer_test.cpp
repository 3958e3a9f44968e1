#include <gtest/gtest.h>

#include "broadcast/span_timer.h"
#include "fakes/fake_clock.h"
#include "platform/seam.h"

namespace {

using MBBroadcast::SpanTimer;

class SpanTimerTest : public testing::Test {
protected:
    fakes::FakeClock m_Clock{1000};
    platform::Substitute<platform::Clock> m_ClockInPlace{m_Clock};
};

TEST_F(SpanTimerTest, NewTimerIsStoppedAndNeverElapses)
{
    SpanTimer timer;
    EXPECT_FALSE(timer.m_bRunning);
    EXPECT_FALSE(timer.m_bElapsed);
    EXPECT_EQ(timer.m_nPeriod, 0);
    EXPECT_EQ(timer.m_nStartTime, 0);
    m_Clock.Advance(100000);
    EXPECT_FALSE(timer.IsElapsed());
}

TEST_F(SpanTimerTest, ElapsesOnlyWhenMoreThanThePeriodHasPassedAndThenStartsTheNextPeriod)
{
    SpanTimer timer;
    timer.m_nPeriod = 60;
    timer.Start();
    EXPECT_EQ(timer.m_nStartTime, 1000);
    m_Clock.Advance(60);
    EXPECT_FALSE(timer.IsElapsed()) << "exactly the period is not yet more than it";
    m_Clock.Advance(1);
    EXPECT_TRUE(timer.IsElapsed());
    EXPECT_TRUE(timer.m_bRunning);
    EXPECT_EQ(timer.m_nStartTime, 1061);
    EXPECT_FALSE(timer.IsElapsed()) << "an elapsed period is reported once";
    m_Clock.Advance(61);
    EXPECT_TRUE(timer.IsElapsed());
}

TEST_F(SpanTimerTest, StartingARunningTimerKeepsItsStartTime)
{
    SpanTimer timer;
    timer.m_nPeriod = 10;
    timer.Start();
    m_Clock.Advance(8);
    timer.Start();
    EXPECT_EQ(timer.m_nStartTime, 1000);
    m_Clock.Advance(3);
    EXPECT_TRUE(timer.IsElapsed());
}

TEST_F(SpanTimerTest, StopKeepsPeriodAndStartTimeAndRestartTakesANewStart)
{
    SpanTimer timer;
    timer.m_nPeriod = 10;
    timer.Start();
    m_Clock.Advance(50);
    timer.Stop();
    EXPECT_FALSE(timer.IsElapsed());
    EXPECT_EQ(timer.m_nStartTime, 1000);
    EXPECT_EQ(timer.m_nPeriod, 10);
    timer.Start();
    EXPECT_EQ(timer.m_nStartTime, 1050);
    EXPECT_FALSE(timer.IsElapsed());
}

TEST_F(SpanTimerTest, ClockSetBackDelaysTheTimerUntilItPassesTheOldStartPlusThePeriod)
{
    SpanTimer timer;
    timer.m_nPeriod = 60;
    timer.Start();
    m_Clock.Set(500);
    EXPECT_FALSE(timer.IsElapsed());
    m_Clock.Set(1060);
    EXPECT_FALSE(timer.IsElapsed());
    m_Clock.Set(1061);
    EXPECT_TRUE(timer.IsElapsed());
}

TEST_F(SpanTimerTest, ZeroPeriodElapsesAfterEveryFullSecond)
{
    SpanTimer timer;
    timer.Start();
    EXPECT_FALSE(timer.IsElapsed());
    m_Clock.Advance(1);
    EXPECT_TRUE(timer.IsElapsed());
}

TEST_F(SpanTimerTest, AHugePeriodDoesNotOverflow)
{
    SpanTimer timer;
    timer.m_nPeriod = 4294967295LL;  // a negative setting read as unsigned
    timer.Start();
    m_Clock.Advance(100000000);
    EXPECT_FALSE(timer.IsElapsed());
}

}  // namespace
