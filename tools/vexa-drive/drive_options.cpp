#include "drive_options.h"

#include <cerrno>
#include <cstdlib>

const char kDriveUsage[] = R"(usage: vexa-drive --dir DIR [--drive N] [--nvme] [OPTION]...

Writes one drive of a folder of drives for vexa-host --smart-dir DIR (native): drive N's
S.M.A.R.T. attribute block PhysicalDriveN.bin and threshold block PhysicalDriveN.thr, or with
--nvme its health page PhysicalDriveN.nvme; its Device Statistics log PhysicalDriveN.devstat
when --temperature or --percentage-used is given (ATA); PhysicalDriveN.ident with --model or
--serial; PhysicalDriveN.failing with --failing; SystemDrive with --system. Files of the drive
that the options do not ask for are removed, so a second call describes the drive anew.

  --dir DIR                 the folder (created when missing)
  --drive N                 the drive number, 0 to 255 (default 0)
  --nvme                    an NVMe drive (default: an ATA drive)
  --hours H                 power-on hours (ATA attribute 9)
  --uncorrectable N         off-line uncorrectable sectors (ATA 198; NVMe: media errors)
  --reallocation-events N   reallocation events (ATA 196)
  --pending N               current pending sectors (ATA 197)
  --reallocated N           reallocated sectors (ATA 5)
  --temperature C           degrees Celsius (ATA: attribute 194 and Device Statistics page 05h;
                            NVMe: composite temperature)
  --percentage-used P       percent of the rated life used (ATA: Device Statistics page 07h)
  --critical-warning W      NVMe critical warning byte, 0 to 255 (non-zero rates error)
  --current ID=V            ATA: attribute ID's normalised value (default 100)
  --threshold ID=T          ATA: attribute ID's threshold (default 0, none)
  --failing                 ATA: the drive reports a threshold exceeded
  --model TEXT              the model of the device descriptor
  --serial TEXT             its serial number
  --system                  this drive holds the Windows volume (SystemDrive)
  --help                    show this text

Counters are whole numbers. The formats: vexa-host --help, and docs/configuration.md.
)";

namespace {

bool ParseNumber(const std::string& text, unsigned long long maximum, unsigned long long& out)
{
    if (text.empty() || text[0] == '-' || text[0] == '+') {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const unsigned long long value = std::strtoull(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || value > maximum) {
        return false;
    }
    out = value;
    return true;
}

// "ID=V" with both parts 0 to 255.
bool ParsePair(const std::string& text, std::uint8_t& id, std::uint8_t& value)
{
    const std::size_t equals = text.find('=');
    unsigned long long first = 0;
    unsigned long long second = 0;
    if (equals == std::string::npos || !ParseNumber(text.substr(0, equals), 255, first) ||
        !ParseNumber(text.substr(equals + 1), 255, second)) {
        return false;
    }
    id = static_cast<std::uint8_t>(first);
    value = static_cast<std::uint8_t>(second);
    return true;
}

}  // namespace

std::optional<DriveOptions> ParseDriveOptions(const std::vector<std::string>& args,
                                              std::string& error)
{
    DriveOptions options;
    const std::pair<const char*, std::uint64_t DriveOptions::*> counters[] = {
        {"--hours", &DriveOptions::hours},
        {"--uncorrectable", &DriveOptions::uncorrectable},
        {"--reallocation-events", &DriveOptions::reallocationEvents},
        {"--pending", &DriveOptions::pending},
        {"--reallocated", &DriveOptions::reallocated},
    };
    const std::pair<const char*, bool DriveOptions::*> flags[] = {
        {"--nvme", &DriveOptions::nvme},     {"--failing", &DriveOptions::failing},
        {"--system", &DriveOptions::system}, {"--help", &DriveOptions::help},
        {"-h", &DriveOptions::help},
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        bool isFlag = false;
        for (const auto& [name, member] : flags) {
            if (option == name) {
                options.*member = true;
                isFlag = true;
            }
        }
        if (isFlag) {
            continue;
        }
        static const char* const kValued[] = {"--dir",
                                              "--drive",
                                              "--hours",
                                              "--uncorrectable",
                                              "--pending",
                                              "--reallocated",
                                              "--temperature",
                                              "--percentage-used",
                                              "--current",
                                              "--threshold",
                                              "--critical-warning",
                                              "--model",
                                              "--serial",
                                              "--reallocation-events"};
        bool known = false;
        for (const char* name : kValued) {
            known = known || option == name;
        }
        if (!known) {
            error = option.rfind("-", 0) == 0 ? "unknown option " + option
                                              : "unexpected argument " + option;
            return std::nullopt;
        }
        if (i + 1 >= args.size() || args[i + 1].rfind("--", 0) == 0) {
            error = option + " needs a value";
            return std::nullopt;
        }
        const std::string& value = args[++i];
        unsigned long long number = 0;
        const auto bad = [&](const std::string& what) {
            error = option + " needs " + what + ", not " + value;
            return std::nullopt;
        };
        if (option == "--dir") {
            options.folder = value;
        } else if (option == "--model") {
            options.model = value;
        } else if (option == "--serial") {
            options.serial = value;
        } else if (option == "--drive") {
            if (!ParseNumber(value, 255, number)) {
                return bad("a drive number, 0 to 255");
            }
            options.drive = static_cast<unsigned>(number);
        } else if (option == "--temperature") {
            if (!ParseNumber(value, 200, number)) {
                return bad("degrees Celsius, 0 to 200");
            }
            options.temperature = static_cast<int>(number);
        } else if (option == "--percentage-used") {
            if (!ParseNumber(value, 255, number)) {
                return bad("a percentage, 0 to 255");
            }
            options.percentageUsed = static_cast<int>(number);
        } else if (option == "--critical-warning") {
            if (!ParseNumber(value, 255, number)) {
                return bad("a byte, 0 to 255");
            }
            options.criticalWarning = static_cast<std::uint8_t>(number);
        } else if (option == "--current" || option == "--threshold") {
            std::uint8_t id = 0;
            std::uint8_t byte = 0;
            if (!ParsePair(value, id, byte)) {
                return bad("ID=V, both 0 to 255");
            }
            (option == "--current" ? options.current : options.thresholds)[id] = byte;
        } else {
            // An ATA raw value has 48 bits.
            if (!ParseNumber(value, (1ull << 48) - 1, number)) {
                return bad("a whole number, 0 to 281474976710655");
            }
            for (const auto& [name, member] : counters) {
                if (option == name) {
                    options.*member = number;
                }
            }
        }
    }
    if (!options.help && options.folder.empty()) {
        error = "--dir is missing";
        return std::nullopt;
    }
    return options;
}
