#include "acquisition/ata_health.h"

#include "platform/byte_order.h"
#include "platform/ata_commands.h"

namespace diag {

namespace {

namespace ata = platform::ata;

constexpr std::uint64_t kSupportedAndValid = ata::kStatisticSupported | ata::kStatisticValid;

// Every page of the log starts with a header whose bits 23..16 give the page number.
bool HeaderNames(const std::uint8_t* p_pPage, std::uint8_t p_nPage)
{
    return p_pPage[ata::kPageNumberOffset] == p_nPage;
}

std::optional<std::uint64_t> Statistic(const std::uint8_t* p_pPage, std::uint8_t p_nPage)
{
    if (p_pPage == nullptr || !HeaderNames(p_pPage, p_nPage)) {
        return std::nullopt;
    }
    const std::uint64_t l_nStatistic = platform::le::Load64(p_pPage + ata::kStatisticOffset);
    if ((l_nStatistic & kSupportedAndValid) != kSupportedAndValid) {
        return std::nullopt;
    }
    return l_nStatistic;
}

}  // namespace

SmartThresholds ParseThresholdBlock(const std::uint8_t* p_pBlock)
{
    SmartThresholds l_Thresholds;
    for (std::size_t i = 0; i < kSmartBlockEntryCount; ++i) {
        const std::uint8_t* l_pEntry = p_pBlock + kSmartBlockFirstEntry + i * kSmartBlockEntrySize;
        l_Thresholds.emplace(l_pEntry[0], l_pEntry[1]);
    }
    return l_Thresholds;
}

bool AttributeAtThreshold(const SmartTable& p_Attributes, const SmartThresholds& p_Thresholds)
{
    for (const auto& [l_nId, l_Attribute] : p_Attributes) {
        const auto l_It = p_Thresholds.find(l_nId);
        // ID 0 marks an unused entry in both tables.
        if (l_nId == 0 || l_It == p_Thresholds.end() || l_It->second == 0 ||
            (l_Attribute.StatusFlags & 1) == 0) {
            continue;
        }
        if (l_Attribute.CurrentValue <= l_It->second) {
            return true;
        }
    }
    return false;
}

std::optional<bool> ParseStatusRegisters(const platform::AtaRegisters& p_Registers)
{
    const std::uint8_t l_nMid = p_Registers.lbaMid;
    const std::uint8_t l_nHigh = p_Registers.lbaHigh;
    if (l_nMid == ata::kExceededMid && l_nHigh == ata::kExceededHigh) {
        return true;
    }
    if (l_nMid == ata::kSignatureMid && l_nHigh == ata::kSignatureHigh) {
        return false;
    }
    return std::nullopt;
}

bool ListsPage(const std::uint8_t* p_pList, std::uint8_t p_nPage)
{
    if (!HeaderNames(p_pList, 0)) {
        return false;
    }
    const std::size_t l_nCount = p_pList[ata::kPageListCountOffset];
    // At most 255 entries: the list ends within its page.
    for (std::size_t i = 0; i < l_nCount; ++i) {
        if (p_pList[ata::kPageListOffset + i] == p_nPage) {
            return true;
        }
    }
    return false;
}

DeviceStatistics ParseDeviceStatistics(const std::uint8_t* p_pTemperaturePage,
                                       const std::uint8_t* p_pSolidStatePage)
{
    DeviceStatistics l_Statistics;
    if (const auto l_nTemperature = Statistic(p_pTemperaturePage, ata::kTemperaturePage)) {
        l_Statistics.temperature = static_cast<std::int8_t>(*l_nTemperature & 0xFF);
    }
    if (const auto l_nUsed = Statistic(p_pSolidStatePage, ata::kSolidStatePage)) {
        l_Statistics.percentageUsed = static_cast<std::int32_t>(*l_nUsed & 0xFF);
    }
    return l_Statistics;
}

}  // namespace diag
