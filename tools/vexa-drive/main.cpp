// vexa-drive: writes one drive of the folder that the native vexa-host reads as the machine's
// physical drives (--smart-dir), from readable options instead of bytes.

#include <cstdio>
#include <string>
#include <vector>

#include "drive_files.h"
#include "drive_options.h"

int main(int argc, char** argv)
{
    std::string error;
    const auto options = ParseDriveOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::fprintf(stderr, "vexa-drive: %s; see --help\n", error.c_str());
        return 1;
    }
    if (options->help) {
        std::fputs(kDriveUsage, stdout);
        return 0;
    }
    error = WriteDriveFiles(*options);
    if (!error.empty()) {
        std::fprintf(stderr, "vexa-drive: %s\n", error.c_str());
        return 2;
    }
    return 0;
}
