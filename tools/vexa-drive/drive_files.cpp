#include "drive_files.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "acquisition/smart_attribute.h"
#include "platform/ata_commands.h"
#include "platform/byte_order.h"
#include "platform/nvme_log.h"
#include "standins/drive_model.h"

namespace {

namespace ata = platform::ata;
namespace le = platform::le;
namespace nvme = platform::nvme;

using Block = platform::DriveModel::Block;
constexpr std::size_t kBlockSize = platform::DiskDevice::kSectorSize;

// Status flags of an attribute entry: pre-failure and on-line (the counters), on-line only
// (the temperature).
constexpr std::uint16_t kPreFailureOnline = 0x03;
constexpr std::uint16_t kOnlineOnly = 0x22;
constexpr std::uint8_t kDefaultCurrent = 100;
constexpr std::uint16_t kRevision = 0x10;
// The revision of a Device Statistics page's header.
constexpr std::uint8_t kStatisticsRevision = 1;

// NVMe health page: available spare and its threshold, in percent.
constexpr std::size_t kAvailableSpareOffset = 3;
constexpr std::size_t kSpareThresholdOffset = 4;

bool Write(const std::filesystem::path& path, const std::uint8_t* data, std::size_t size)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return static_cast<bool>(file.flush());
}

bool WriteText(const std::filesystem::path& path, const std::string& text)
{
    return Write(path, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

// The attribute and threshold blocks of an ATA drive.
bool WriteAta(const DriveOptions& o, const std::filesystem::path& base)
{
    struct Attribute {
        std::uint8_t id;
        std::uint64_t raw;
        std::uint16_t flags;
    };
    std::vector<Attribute> attributes{{9, o.hours, kPreFailureOnline},
                                      {198, o.uncorrectable, kPreFailureOnline},
                                      {196, o.reallocationEvents, kPreFailureOnline},
                                      {197, o.pending, kPreFailureOnline},
                                      {5, o.reallocated, kPreFailureOnline}};
    if (o.temperature) {
        attributes.push_back({194, static_cast<std::uint64_t>(*o.temperature), kOnlineOnly});
    }
    Block values{};
    Block thresholds{};
    le::Store16(values.data(), kRevision);
    le::Store16(thresholds.data(), kRevision);
    for (std::size_t i = 0; i < attributes.size(); ++i) {
        const Attribute& a = attributes[i];
        const auto found = o.current.find(a.id);
        const std::uint8_t current = found == o.current.end() ? kDefaultCurrent : found->second;
        platform::PutAttribute(values, static_cast<int>(i), a.id, a.flags, current, current, a.raw);
        const auto threshold = o.thresholds.find(a.id);
        std::uint8_t* entry =
            thresholds.data() + diag::kSmartBlockFirstEntry + i * diag::kSmartBlockEntrySize;
        entry[0] = a.id;
        entry[1] = threshold == o.thresholds.end() ? 0 : threshold->second;
    }
    return Write(base.string() + ".bin", values.data(), values.size()) &&
           Write(base.string() + ".thr", thresholds.data(), thresholds.size());
}

// Pages 0 to 7 of the Device Statistics log: page 0 lists the pages given.
bool WriteDeviceStatistics(const DriveOptions& o, const std::filesystem::path& base)
{
    std::vector<std::uint8_t> log(kBlockSize * (ata::kSolidStatePage + 1), 0);
    std::vector<std::uint8_t> listed{0};
    const auto putStatistic = [&log, &listed](std::uint8_t page, int value) {
        std::uint8_t* at = log.data() + kBlockSize * page;
        at[0] = kStatisticsRevision;
        at[ata::kPageNumberOffset] = page;
        le::Store64(at + ata::kStatisticOffset, ata::kStatisticSupported | ata::kStatisticValid |
                                                    static_cast<std::uint64_t>(value));
        listed.push_back(page);
    };
    if (o.temperature) {
        putStatistic(ata::kTemperaturePage, *o.temperature);
    }
    if (o.percentageUsed) {
        putStatistic(ata::kSolidStatePage, *o.percentageUsed);
    }
    log[0] = kStatisticsRevision;
    log[ata::kPageListCountOffset] = static_cast<std::uint8_t>(listed.size());
    for (std::size_t i = 0; i < listed.size(); ++i) {
        log[ata::kPageListOffset + i] = listed[i];
    }
    return Write(base.string() + ".devstat", log.data(), log.size());
}

bool WriteNvme(const DriveOptions& o, const std::filesystem::path& base)
{
    Block page{};
    page[nvme::kCriticalWarningOffset] = o.criticalWarning;
    le::Store16(page.data() + nvme::kCompositeTemperatureOffset,
                static_cast<std::uint16_t>(o.temperature.value_or(0) + nvme::kKelvinAtZeroCelsius));
    page[kAvailableSpareOffset] = 100;
    page[kSpareThresholdOffset] = 10;
    page[nvme::kPercentageUsedOffset] = static_cast<std::uint8_t>(o.percentageUsed.value_or(0));
    le::Store64(page.data() + nvme::kPowerOnHoursOffset, o.hours);
    le::Store64(page.data() + nvme::kMediaErrorsOffset, o.uncorrectable);
    return Write(base.string() + ".nvme", page.data(), page.size());
}

}  // namespace

std::string WriteDriveFiles(const DriveOptions& o)
{
    namespace fs = std::filesystem;
    std::error_code error;
    fs::create_directories(o.folder, error);
    if (!fs::is_directory(o.folder)) {
        return "cannot create the folder " + o.folder;
    }
    const fs::path base = fs::path(o.folder) / ("PhysicalDrive" + std::to_string(o.drive));
    for (const char* extension : {".bin", ".thr", ".nvme", ".devstat", ".ident", ".failing"}) {
        fs::remove(base.string() + extension, error);
    }
    const bool ataStatistics = !o.nvme && (o.temperature || o.percentageUsed);
    bool written = o.nvme ? WriteNvme(o, base) : WriteAta(o, base);
    if (written && ataStatistics) {
        written = WriteDeviceStatistics(o, base);
    }
    if (written && (!o.model.empty() || !o.serial.empty())) {
        written = WriteText(base.string() + ".ident", o.model + "\r\n" + o.serial + "\r\n");
    }
    if (written && o.failing) {
        written = WriteText(base.string() + ".failing", "");
    }
    if (written && o.system) {
        written = WriteText(fs::path(o.folder) / "SystemDrive", std::to_string(o.drive) + "\r\n");
    }
    return written ? std::string() : "cannot write the files of " + base.string();
}
