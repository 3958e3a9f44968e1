#pragma once

#include <chrono>
#include <cstdint>
#include <string>

// The pause between cycles, from key "CycleTime" of section "Timer" of the add-on's own settings
// file (milliseconds, default 10000). Short cycles serve tests and commissioning; below 100 ms
// the loop would only burn the processor, above an hour the monitor would look dead. The text is
// read with its own sign and size: a value above the maximum, however large, gives the maximum,
// and only a negative one the minimum (the system's 32-bit read would make "3000000000" negative
// and "-1" a pause of 49 days).
struct CycleTime {
    std::int64_t setting = 0;            // as read, signed
    std::wstring text;                   // the value as written (empty when the key is missing)
    std::chrono::milliseconds pause{0};  // the setting clamped to 100 ... 3,600,000 ms
    bool IsClamped() const { return pause.count() != setting; }
};

// Reads the setting; logs nothing.
CycleTime ReadCycleTime();

inline constexpr std::int64_t kMinimumCycleTime = 100;
inline constexpr std::int64_t kMaximumCycleTime = 3600000;
