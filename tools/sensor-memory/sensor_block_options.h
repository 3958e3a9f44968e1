#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Command line of the sensor-memory writer.
struct SensorBlockOptions {
    struct Reading {
        std::uint32_t index;
        std::uint32_t value;
    };
    std::vector<Reading> fans;
    std::vector<Reading> temperatures;
    // How long to keep the block; nothing means until the process is interrupted.
    std::optional<unsigned long> seconds;
    std::string readyFile;
    bool help = false;
};

// Parses argv[1..]; on a usage error returns nothing and sets `error`.
std::optional<SensorBlockOptions> ParseSensorBlockOptions(const std::vector<std::string>& args,
                                                          std::string& error);

extern const char kSensorBlockUsage[];
