#pragma once

#include <cstdint>

namespace MBBroadcast {

// A repeating period on the system's calendar clock (platform::Clock, whole seconds). Once
// started it reports "elapsed" once per period, the first time it is asked after more than the
// period has passed, and then begins its next period from that moment.
class SpanTimer {
public:
    // Starts a stopped timer now; a running timer keeps its start time.
    void Start();
    // Stops the timer; period and start time are kept.
    void Stop();
    // Whether the timer runs and more than the period has passed since its start; a true answer
    // restarts the period.
    bool IsElapsed();

    bool m_bElapsed = false;
    bool m_bRunning = false;
    std::int64_t m_nPeriod = 0;
    std::int64_t m_nStartTime = 0;
};

}  // namespace MBBroadcast
