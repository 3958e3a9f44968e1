#include "broadcast/span_timer.h"

#include "platform/clock.h"
#include "platform/seam.h"

namespace MBBroadcast {

void SpanTimer::Start()
{
    if (!m_bRunning) {
        m_nStartTime = platform::Use<platform::Clock>().Now();
        m_bRunning = true;
    }
}

void SpanTimer::Stop()
{
    m_bRunning = false;
}

bool SpanTimer::IsElapsed()
{
    if (!m_bRunning) {
        return false;
    }
    const std::int64_t l_nNow = platform::Use<platform::Clock>().Now();
    // A clock set back gives a negative span: the timer then waits for the clock to pass the
    // old start plus the period. Wrapping subtraction keeps extreme settings defined.
    const auto l_nSpan = static_cast<std::int64_t>(static_cast<std::uint64_t>(l_nNow) -
                                                   static_cast<std::uint64_t>(m_nStartTime));
    if (l_nSpan > m_nPeriod) {
        m_bElapsed = true;
    }
    if (m_bElapsed) {
        m_bElapsed = false;
        m_nStartTime = l_nNow;
        return true;
    }
    return false;
}

}  // namespace MBBroadcast
