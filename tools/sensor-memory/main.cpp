// Writes the sensor tool's shared memory block, so the monitor's SpeedFan mode can be shown and
// tested without the tool.

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "acquisition/speed_fan.h"
#include "platform/byte_order.h"
#include "platform/shared_memory.h"
#include "sensor_block_options.h"

namespace {

// The block's name and layout are the reader's own, so writer and reader cannot drift apart.
using MBDataAquisition::SpeedFan;

int Run(const SensorBlockOptions& options)
{
    platform::SharedMemory& memory = platform::SharedMemory::System();
    // Without a file Windows backs the mapping by the paging file, as the sensor tool does.
    const platform::Handle mapping =
        memory.CreateMapping(platform::kInvalidHandle, SpeedFan::kBlockName, SpeedFan::kBlockSize);
    if (!platform::IsUsableHandle(mapping)) {
        std::fprintf(stderr, "vexa-sensor-memory: cannot create the shared memory block\n");
        return 2;
    }
    void* view = memory.MapView(mapping, SpeedFan::kBlockSize, true);
    if (view == nullptr) {
        std::fprintf(stderr, "vexa-sensor-memory: cannot map the shared memory block\n");
        memory.Close(mapping);
        return 2;
    }
    auto* block = static_cast<unsigned char*>(view);
    std::fill(block, block + SpeedFan::kBlockSize, static_cast<unsigned char>(0));
    for (const auto& reading : options.temperatures) {
        platform::le::Store32(block + SpeedFan::kTempOffset + 4 * reading.index, reading.value);
    }
    for (const auto& reading : options.fans) {
        platform::le::Store32(block + SpeedFan::kFanOffset + 4 * reading.index, reading.value);
    }
    if (!options.readyFile.empty()) {
        std::ofstream(options.readyFile) << "ready\n";
    }

    if (options.seconds) {
        std::this_thread::sleep_for(std::chrono::seconds(*options.seconds));
    } else {
        for (;;) {
            std::this_thread::sleep_for(std::chrono::hours(1));
        }
    }
    memory.UnmapView(view);
    memory.Close(mapping);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string error;
    const auto options =
        ParseSensorBlockOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::fprintf(stderr, "vexa-sensor-memory: %s; see --help\n", error.c_str());
        return 1;
    }
    if (options->help) {
        std::fputs(kSensorBlockUsage, stdout);
        return 0;
    }
    return Run(*options);
}
