#pragma once

#include <cstdint>

// How long a source's data may stay unchanged before it counts as stale, from section
// "Freshness" of the add-on's own settings file: "SensorSeconds" (default 900) for the sensor
// source, "DiskSeconds" (default 3600) for the system disk. 0 turns a check off.
struct FreshnessLimits {
    std::int64_t sensorSeconds = 900;
    std::int64_t diskSeconds = 3600;
};

// Reads both limits. A value that is negative or no whole number of seconds gives the default,
// and the log says so (level 0) once for each such key; a missing or empty key gives the default
// silently.
FreshnessLimits ReadFreshnessLimits();
