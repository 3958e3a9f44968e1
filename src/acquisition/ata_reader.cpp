#include "acquisition/ata_reader.h"

#include "acquisition/ata_health.h"
#include "platform/ata_commands.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <optional>
#include <vector>

namespace diag {

namespace ata = platform::ata;
using MBDataAquisition::CounterState;
using MBDataAquisition::DiskSource;

namespace {

// Set once one drive accepted the command; never sent again in the life of the process. Atomic:
// a reader stuck on a drive may still run beside the one that replaced it.
std::atomic<bool> s_bAutoOfflineEnabled{false};

// The attribute whose raw byte 0 is the temperature in degrees Celsius on most ATA drives.
constexpr std::uint8_t kTemperatureAttribute = 194;
constexpr std::size_t kPageSize = platform::DiskDevice::kSectorSize;

// Power-on hours with the low 32 bits of the raw value: 16 bits wrap after 7.5 years, sooner
// than an industrial PC retires. A field's reading is a signed 32-bit number.
std::int32_t PowerOnHours(const SmartAttribute& p_Attribute)
{
    constexpr std::uint32_t kLargest = 0x7FFFFFFF;
    return static_cast<std::int32_t>(std::min(p_Attribute.RawLow32, kLargest));
}

// One drive's SMART commands, each with its feature, count and LBA low registers.
class SmartCommands {
public:
    SmartCommands(platform::DiskDevice& p_Device, platform::Handle p_hDrive)
        : m_Device(p_Device), m_hDrive(p_hDrive)
    {
    }

    // Reads `p_nSize` bytes into `p_pData` (zeroed first); true when the driver carried the
    // command out. `p_pOut` receives the drive's registers.
    bool Send(std::uint8_t p_nFeatures, std::uint8_t p_nCount, std::uint8_t p_nLbaLow,
              std::uint8_t* p_pData = nullptr, std::size_t p_nSize = 0,
              platform::AtaRegisters* p_pOut = nullptr)
    {
        platform::AtaRegisters l_In;
        l_In.features = p_nFeatures;
        l_In.sectorCount = p_nCount;
        l_In.lbaLow = p_nLbaLow;
        l_In.lbaMid = ata::kSignatureMid;
        l_In.lbaHigh = ata::kSignatureHigh;
        l_In.device = ata::kDevice;
        l_In.command = ata::kSmart;
        platform::AtaRegisters l_Out;
        if (p_pData != nullptr) {
            std::fill_n(p_pData, p_nSize, std::uint8_t{0});
        }
        const bool l_bDone = m_Device.AtaCommand(m_hDrive, l_In, l_Out, p_pData, p_nSize);
        if (p_pOut != nullptr) {
            *p_pOut = l_Out;
        }
        return l_bDone;
    }

    // A 512-byte block (the attribute data, the thresholds); nothing when the command failed.
    std::optional<std::array<std::uint8_t, kPageSize>> Block(std::uint8_t p_nFeatures)
    {
        std::array<std::uint8_t, kPageSize> l_Block{};
        if (!Send(p_nFeatures, 1, 1, l_Block.data(), l_Block.size())) {
            return std::nullopt;
        }
        return l_Block;
    }

    // One page of the Device Statistics log with READ LOG EXT; false when the drive aborted it.
    bool ReadLogPage(std::uint8_t p_nPage, std::uint8_t* p_pPage)
    {
        platform::AtaRegisters l_In;
        l_In.sectorCount = 1;
        l_In.lbaLow = ata::kDeviceStatisticsLog;
        l_In.lbaMid = p_nPage;
        l_In.command = ata::kReadLogExt;
        platform::AtaRegisters l_Out;
        return m_Device.AtaCommand(m_hDrive, l_In, l_Out, p_pPage, kPageSize) &&
               (l_Out.command & (ata::kStatusError | ata::kStatusDeviceFault)) == 0;
    }

    // Pages 0 to `p_nPages` - 1 of the Device Statistics log with SMART READ LOG.
    bool ReadLogPagesThroughSmart(std::uint8_t p_nPages, std::uint8_t* p_pPages)
    {
        return Send(ata::kReadLog, p_nPages, ata::kDeviceStatisticsLog, p_pPages,
                    kPageSize * p_nPages);
    }

private:
    platform::DiskDevice& m_Device;
    platform::Handle m_hDrive;
};

DeviceStatistics ReadDeviceStatistics(SmartCommands& p_Drive)
{
    // Pages 0 to 7; READ LOG EXT reads one page per command, SMART READ LOG the pages from 0 on
    // in one.
    std::vector<std::uint8_t> l_Pages(kPageSize * (ata::kSolidStatePage + 1));
    const auto Page = [&l_Pages](std::uint8_t p_nPage) {
        return l_Pages.data() + kPageSize * p_nPage;
    };
    bool l_bTemperature = false;
    bool l_bSolidState = false;
    if (p_Drive.ReadLogPage(0, Page(0))) {
        l_bTemperature = ListsPage(Page(0), ata::kTemperaturePage) &&
                         p_Drive.ReadLogPage(ata::kTemperaturePage, Page(ata::kTemperaturePage));
        l_bSolidState = ListsPage(Page(0), ata::kSolidStatePage) &&
                        p_Drive.ReadLogPage(ata::kSolidStatePage, Page(ata::kSolidStatePage));
    } else if (p_Drive.ReadLogPagesThroughSmart(1, Page(0))) {
        // Only as far as the last page wanted that the drive lists: a log that ends before
        // page 7 aborts a read of eight pages.
        const bool l_bListsTemperature = ListsPage(Page(0), ata::kTemperaturePage);
        const bool l_bListsSolidState = ListsPage(Page(0), ata::kSolidStatePage);
        const std::uint8_t l_nPages = l_bListsSolidState    ? ata::kSolidStatePage + 1
                                      : l_bListsTemperature ? ata::kTemperaturePage + 1
                                                            : 0;
        if (l_nPages != 0 && p_Drive.ReadLogPagesThroughSmart(l_nPages, Page(0))) {
            l_bTemperature = l_bListsTemperature;
            l_bSolidState = l_bListsSolidState;
        }
    }
    return ParseDeviceStatistics(l_bTemperature ? Page(ata::kTemperaturePage) : nullptr,
                                 l_bSolidState ? Page(ata::kSolidStatePage) : nullptr);
}

}  // namespace

DriveReading ReadAtaDrive(platform::DiskDevice& p_Device, platform::Handle p_hDrive,
                          bool p_bSystemDisk)
{
    DriveReading l_Reading;
    SmartCommands l_Drive(p_Device, p_hDrive);
    if (!l_Drive.Send(ata::kEnable, 1, 1)) {
        return l_Reading;
    }
    l_Reading.answered = true;
    if (!s_bAutoOfflineEnabled && l_Drive.Send(ata::kAutoOffline, 0xF8, 1)) {
        s_bAutoOfflineEnabled = true;
    }
    MBDataAquisition::DiskHealth& l_Health = l_Reading.health;
    if (const auto l_Block = l_Drive.Block(ata::kReadAttributes)) {
        l_Reading.attributes = ParseAttributeBlock(l_Block->data());
        TakeAttributes(*l_Reading.attributes, l_Health);
    }
    if (!p_bSystemDisk) {
        return l_Reading;
    }
    platform::AtaRegisters l_Status;
    std::optional<bool> l_bExceeded;
    if (l_Drive.Send(ata::kReturnStatus, 0, 1, nullptr, 0, &l_Status)) {
        l_bExceeded = ParseStatusRegisters(l_Status);
    }
    std::optional<SmartThresholds> l_Thresholds;
    if (const auto l_Block = l_Drive.Block(ata::kReadThresholds)) {
        l_Thresholds = ParseThresholdBlock(l_Block->data());
    }
    const DeviceStatistics l_Statistics = ReadDeviceStatistics(l_Drive);
    if (!l_Reading.attributes) {
        // The drive's verdict without counters.
        if (l_bExceeded) {
            l_Health.criticalWarning = *l_bExceeded ? 1 : 0;
        }
        return l_Reading;
    }
    // The verdict counts only with the drive's status: thresholds alone would show bit 0, never
    // read, as a sound 0.
    if (l_bExceeded) {
        l_Health.criticalWarning =
            (*l_bExceeded ? 1 : 0) |
            (l_Thresholds && AttributeAtThreshold(*l_Reading.attributes, *l_Thresholds) ? 2 : 0);
    }
    l_Health.percentageUsed = l_Statistics.percentageUsed;
    if (l_Statistics.temperature) {
        l_Health.temperature = l_Statistics.temperature;
    }
    return l_Reading;
}

void TakeAttributes(const SmartTable& p_Table, MBDataAquisition::DiskHealth& p_Health)
{
    p_Health.source = DiskSource::Ata;
    for (std::size_t i = 0; i < kCounterAttributes.size(); ++i) {
        const auto l_itAttribute = p_Table.find(kCounterAttributes[i]);
        const bool l_bRead = l_itAttribute != p_Table.end();
        p_Health.counterStates[i] = l_bRead ? CounterState::Read : CounterState::Unread;
        p_Health.counters[i] = !l_bRead ? 0
                               : i == 0 ? PowerOnHours(l_itAttribute->second)
                                        : l_itAttribute->second.RawValue;
    }
    const auto l_itTemperature = p_Table.find(kTemperatureAttribute);
    if (l_itTemperature != p_Table.end()) {
        p_Health.temperature = l_itTemperature->second.RawValue & 0xFF;
    }
}

void ResetAutoOffline()
{
    s_bAutoOfflineEnabled = false;
}

}  // namespace diag
