#pragma once

#include <chrono>

// How long a cycle waits for a source's read (the disk refresh, the sensor source's read) before
// it publishes without it: key "ReadTimeout" of section "Timer" of the add-on's own settings file,
// in milliseconds, default 5000, and never longer than the pause between cycles. A value that is
// not a whole number of milliseconds from 1 up gives the default, and the log says so once
// (level 0); a missing or empty key gives the default silently.
std::chrono::milliseconds ReadReadTimeout(std::chrono::milliseconds p_CyclePause);

inline constexpr std::chrono::milliseconds kDefaultReadTimeout{5000};
