#include "sensor_block_options.h"

#include <cerrno>
#include <cstdlib>

const char kSensorBlockUsage[] =
    "usage: vexa-sensor-memory [--fan I=V]... [--temp I=V]... [--seconds S] [--ready FILE]\n"
    "\n"
    "Writes fan speeds and temperatures into the shared memory block \"SFSharedMemory_ALM\"\n"
    "that the monitor reads in SpeedFan mode, for demonstrations and tests.\n"
    "\n"
    "  --fan I=V      fan I (0-31) reads V (a 32-bit integer; negative values wrap)\n"
    "  --temp I=V     temperature I (0-31) reads V\n"
    "  --seconds S    keep the block for S seconds, then exit (default: until interrupted)\n"
    "  --ready FILE   create FILE once the values are in place\n"
    "  --help         show this text\n"
    "\n"
    "Readings not given are 0. On Windows the block is a named file mapping that exists while\n"
    "this program runs; elsewhere it is the file \"SFSharedMemory_ALM\" in the working\n"
    "directory, which keeps the values after the program ends.\n";

namespace {

bool ParseNumber(const std::string& text, long long minimum, long long maximum, long long& out)
{
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || value < minimum || value > maximum) {
        return false;
    }
    out = value;
    return true;
}

// Empty when the reading is good, else what is wrong with it, naming the part at fault.
std::string ParseReading(const std::string& option, const std::string& text,
                         SensorBlockOptions::Reading& reading)
{
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos) {
        return option + " needs I=V, not " + text;
    }
    const std::string indexText = text.substr(0, equals);
    const std::string valueText = text.substr(equals + 1);
    long long index = 0;
    long long value = 0;
    if (!ParseNumber(indexText, 0, 31, index)) {
        return "bad index " + indexText + " in " + option + " " + text + " (0 to 31)";
    }
    if (!ParseNumber(valueText, -2147483648LL, 4294967295LL, value)) {
        return "bad value " + valueText + " in " + option + " " + text +
               " (a 32-bit integer, -2147483648 to 4294967295)";
    }
    reading.index = static_cast<std::uint32_t>(index);
    reading.value = static_cast<std::uint32_t>(value);
    return {};
}

}  // namespace

std::optional<SensorBlockOptions> ParseSensorBlockOptions(const std::vector<std::string>& args,
                                                          std::string& error)
{
    SensorBlockOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (option == "--help" || option == "-h") {
            options.help = true;
            continue;
        }
        if (option != "--fan" && option != "--temp" && option != "--seconds" &&
            option != "--ready") {
            error = "unknown option " + option;
            return std::nullopt;
        }
        if (i + 1 >= args.size() || args[i + 1].rfind("--", 0) == 0) {
            error = option + " needs a value";
            return std::nullopt;
        }
        const std::string& value = args[++i];
        if (option == "--ready") {
            options.readyFile = value;
        } else if (option == "--seconds") {
            long long seconds = 0;
            if (!ParseNumber(value, 0, 86400L * 366, seconds)) {
                error = "--seconds needs a whole number of seconds, 0 to 31622400, not " + value;
                return std::nullopt;
            }
            options.seconds = static_cast<unsigned long>(seconds);
        } else {
            SensorBlockOptions::Reading reading{};
            error = ParseReading(option, value, reading);
            if (!error.empty()) {
                return std::nullopt;
            }
            (option == "--fan" ? options.fans : options.temperatures).push_back(reading);
        }
    }
    return options;
}
