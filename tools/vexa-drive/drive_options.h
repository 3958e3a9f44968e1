#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

// What vexa-drive writes for one drive of a --smart-dir folder, from its command line.
struct DriveOptions {
    std::string folder;
    unsigned drive = 0;
    bool nvme = false;
    // The five watched counters: power-on hours (ATA 9), off-line uncorrectable sectors (198;
    // NVMe: media and data integrity errors), reallocation events (196), current pending sectors
    // (197), reallocated sectors (5).
    std::uint64_t hours = 0;
    std::uint64_t uncorrectable = 0;
    std::uint64_t reallocationEvents = 0;
    std::uint64_t pending = 0;
    std::uint64_t reallocated = 0;
    // Degrees Celsius: ATA attribute 194 and Device Statistics page 05h; NVMe composite.
    std::optional<int> temperature;
    // ATA: Device Statistics page 07h; NVMe: percentage used.
    std::optional<int> percentageUsed;
    // NVMe critical warning byte.
    std::uint8_t criticalWarning = 0;
    // ATA: normalised current value and threshold by attribute ID (defaults 100 and 0).
    std::map<std::uint8_t, std::uint8_t> current;
    std::map<std::uint8_t, std::uint8_t> thresholds;
    // ATA: the drive reports a threshold exceeded.
    bool failing = false;
    std::string model;
    std::string serial;
    // This drive holds the Windows volume.
    bool system = false;
    bool help = false;
};

// Parses argv[1..]; on a usage error returns nothing and sets `error`.
std::optional<DriveOptions> ParseDriveOptions(const std::vector<std::string>& args,
                                              std::string& error);

extern const char kDriveUsage[];
