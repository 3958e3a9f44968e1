// The storage driver's answer to the NVMe health page query: the descriptor's checks and the
// page's fields, parsed directly from exactly the input's bytes (so a read past the answer is
// caught), then an NVMe drive's page read through the reader and the posix drive folder.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

#include "acquisition/harddisk.h"
#include "acquisition/nvme_health.h"
#include "fakes/memory_profile.h"
#include "fuzz_support.h"
#include "platform/byte_order.h"
#include "platform/posix/smart_folder.h"
#include "platform/seam.h"
#include "platform/win32/storage_layout.h"

namespace {

namespace storage = platform::storage;

void CheckReadings(const diag::NvmeHealth& health)
{
    fuzz::Check(health.PowerOnHours >= 0 && health.MediaErrors >= 0,
                "the saturated counters are never negative");
    fuzz::Check(health.Temperature >= -273 && health.Temperature <= 65535 - 273,
                "the temperature comes from 16 bits of kelvin");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const fuzz::ScratchFile s_file("PhysicalDrive0.nvme");
    static fakes::MemoryProfile s_profile;  // no settings: the log stays at its default level
    static const platform::Substitute<platform::Profile> s_useProfile(s_profile);
    static platform::SmartFolder s_drives(s_file.Path().substr(0, s_file.Path().rfind('/')));
    static const platform::Substitute<platform::DiskDevice> s_useDrives(s_drives);

    const auto answer = std::make_unique<std::uint8_t[]>(std::max<std::size_t>(size, 1));
    std::memcpy(answer.get(), data, size);
    const std::uint8_t* found = storage::HealthPageIn(answer.get(), size);
    if (found != nullptr) {
        CheckReadings(diag::ParseHealthPage(found));
        const std::uint32_t offset = platform::le::Load32(
            answer.get() + storage::kProtocolDescriptorDataOffset + storage::kDataOffsetOffset);
        fuzz::Check(storage::kProtocolDescriptorDataOffset + std::size_t{offset} +
                            storage::kHealthPageSize <=
                        size,
                    "an accepted page lies inside the answer");
        fuzz::Check(found == answer.get() + storage::kProtocolDescriptorDataOffset + offset,
                    "the page is read where the descriptor puts it");
    }
    platform::StorageDescriptor descriptor;
    const bool described = storage::ParseDeviceDescriptor(answer.get(), size, descriptor);
    fuzz::Check(!described || size >= storage::kDeviceBusTypeOffset + 4,
                "a bus type is read only from a descriptor that holds it");

    // The input's first 512 bytes as a drive's page file (padded with zeros, as the folder does).
    const std::size_t pageBytes = std::min(size, storage::kHealthPageSize);
    s_file.Write(std::string(reinterpret_cast<const char*>(data), pageBytes));
    std::uint8_t page[storage::kHealthPageSize] = {};
    std::memcpy(page, data, pageBytes);
    const diag::NvmeHealth expected = diag::ParseHealthPage(page);
    CheckReadings(expected);
    MBDataAquisition::Harddisk disk(L"", L"");
    disk.Update();
    const MBDataAquisition::DiskHealth& health = disk.Health();
    fuzz::Check(health.source == MBDataAquisition::DiskSource::Nvme,
                "the drive answers as an NVMe drive");
    fuzz::Check(health.counters[0] == expected.PowerOnHours &&
                    health.counters[1] == expected.MediaErrors &&
                    health.criticalWarning == expected.CriticalWarning &&
                    health.percentageUsed == expected.PercentageUsed &&
                    health.temperature == expected.Temperature,
                "the drive's page reads as parsed");
    return 0;
}
