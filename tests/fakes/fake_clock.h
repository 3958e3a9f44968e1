#pragma once

#include <cstdint>

#include "platform/clock.h"

namespace fakes {

// A calendar clock that moves only when the test moves it. Set and Advance move time itself
// (both clocks); Correct sets the wall clock alone, as a time correction does.
class FakeClock : public platform::Clock {
public:
    explicit FakeClock(std::int64_t now = 1700000000) : m_nNow(now) {}
    std::int64_t Now() override { return m_nNow; }
    std::int64_t Monotonic() override { return m_nNow + m_nCorrection; }
    void Set(std::int64_t now) { m_nNow = now; }
    void Advance(std::int64_t seconds) { m_nNow += seconds; }
    void Correct(std::int64_t seconds)
    {
        m_nNow += seconds;
        m_nCorrection -= seconds;
    }

private:
    std::int64_t m_nNow;
    std::int64_t m_nCorrection = 0;
};

}  // namespace fakes
