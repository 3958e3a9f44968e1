#pragma once

#include <cstdint>

#include "platform/clock.h"

namespace fakes {

// A calendar clock that moves only when the test moves it.
class FakeClock : public platform::Clock {
public:
    explicit FakeClock(std::int64_t now = 1700000000) : m_nNow(now) {}
    std::int64_t Now() override { return m_nNow; }
    void Set(std::int64_t now) { m_nNow = now; }
    void Advance(std::int64_t seconds) { m_nNow += seconds; }

private:
    std::int64_t m_nNow;
};

}  // namespace fakes
