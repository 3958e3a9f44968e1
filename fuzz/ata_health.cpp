// The ATA drive's threshold block (READ THRESHOLDS) and its Device Statistics log: the first 512
// bytes of the input are the threshold block, the rest the log (page k at byte 512·k, as the
// drive folder of the posix platform keeps it). Each is parsed directly from a buffer of its
// exact size (so a read past its end is caught), then read through the disk source and the
// drive's control codes, which must agree with the direct parse.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "acquisition/ata_health.h"
#include "acquisition/harddisk.h"
#include "fakes/memory_profile.h"
#include "fuzz_support.h"
#include "platform/posix/smart_folder.h"
#include "platform/seam.h"

namespace {

constexpr std::size_t kPageSize = 512;

// The drive's files beside its attribute block; removed before the block's scratch folder.
class DriveFiles {
public:
    explicit DriveFiles(std::string base) : m_strBase(std::move(base)) {}
    ~DriveFiles()
    {
        std::remove((m_strBase + ".thr").c_str());
        std::remove((m_strBase + ".devstat").c_str());
    }
    DriveFiles(const DriveFiles&) = delete;
    DriveFiles& operator=(const DriveFiles&) = delete;

    void Write(const char* extension, const std::uint8_t* bytes, std::size_t size) const
    {
        std::ofstream file(m_strBase + extension, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(bytes), static_cast<std::streamsize>(size));
    }

private:
    std::string m_strBase;
};

// An attribute block with pre-failure attributes 1, 5 and 197 at normalised 50, so that the
// thresholds decide the verdict's bit 1; no attribute 194, so only the log gives a temperature.
std::string AttributeBlock()
{
    std::string block(kPageSize, '\0');
    const std::uint8_t ids[] = {1, 5, 197};
    for (std::size_t i = 0; i < 3; ++i) {
        char* entry = &block[2 + 12 * i];
        entry[0] = static_cast<char>(ids[i]);
        entry[1] = 3;
        entry[3] = 50;
        entry[4] = 50;
    }
    return block;
}

// Page `page` of the log as the drive folder serves it: padded with zeros, and absent beyond the
// log's end (page 0 always answers).
std::unique_ptr<std::uint8_t[]> LogPage(const std::uint8_t* log, std::size_t size, std::size_t page)
{
    if (page != 0 && size <= kPageSize * page) {
        return nullptr;
    }
    auto bytes = std::make_unique<std::uint8_t[]>(kPageSize);
    std::memset(bytes.get(), 0, kPageSize);
    if (size > kPageSize * page) {
        std::memcpy(bytes.get(), log + kPageSize * page,
                    std::min(kPageSize, size - kPageSize * page));
    }
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const fuzz::ScratchFile s_block("PhysicalDrive0.bin");
    static const std::string s_base = s_block.Path().substr(0, s_block.Path().rfind('.'));
    static const DriveFiles s_files(s_base);
    static fakes::MemoryProfile s_profile;  // no settings: the log stays at its default level
    static const platform::Substitute<platform::Profile> s_useProfile(s_profile);
    static platform::SmartFolder s_drives(s_base.substr(0, s_base.rfind('/')));
    static const platform::Substitute<platform::DiskDevice> s_useDrives(s_drives);
    static const bool s_bBlockWritten = (s_block.Write(AttributeBlock()), true);
    (void)s_bBlockWritten;

    const std::size_t thresholdSize = std::min(size, kPageSize);
    auto thresholds = std::make_unique<std::uint8_t[]>(kPageSize);
    std::memset(thresholds.get(), 0, kPageSize);
    std::memcpy(thresholds.get(), data, thresholdSize);
    const diag::SmartThresholds parsed = diag::ParseThresholdBlock(thresholds.get());
    fuzz::Check(!parsed.empty() && parsed.size() <= 30, "a block has between 1 and 30 thresholds");

    const std::uint8_t* log = data + thresholdSize;
    const std::size_t logSize = size - thresholdSize;
    const auto list = LogPage(log, logSize, 0);
    const auto temperaturePage = LogPage(log, logSize, 5);
    const auto solidStatePage = LogPage(log, logSize, 7);
    const diag::DeviceStatistics statistics = diag::ParseDeviceStatistics(
        temperaturePage && diag::ListsPage(list.get(), 5) ? temperaturePage.get() : nullptr,
        solidStatePage && diag::ListsPage(list.get(), 7) ? solidStatePage.get() : nullptr);
    fuzz::Check(!statistics.temperature ||
                    (*statistics.temperature >= -128 && *statistics.temperature <= 127),
                "the temperature is a signed byte");
    fuzz::Check(!statistics.percentageUsed ||
                    (*statistics.percentageUsed >= 0 && *statistics.percentageUsed <= 255),
                "the percentage used is a byte");

    s_files.Write(".thr", data, thresholdSize);
    s_files.Write(".devstat", log, logSize);
    diag::SmartReader::ForgetAutoOffline();
    MBDataAquisition::Harddisk disk(L"", L"");
    disk.Update();
    const MBDataAquisition::DiskHealth& health = disk.Health();
    const bool atThreshold = diag::AttributeAtThreshold(
        diag::ParseAttributeBlock(reinterpret_cast<const std::uint8_t*>(AttributeBlock().data())),
        parsed);
    fuzz::Check(health.criticalWarning == (atThreshold ? 2 : 0),
                "the verdict's bit 1 follows the thresholds");
    fuzz::Check(health.temperature == statistics.temperature &&
                    health.percentageUsed == statistics.percentageUsed,
                "the drive's log reads as parsed");
    return 0;
}
