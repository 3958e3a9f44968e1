#include "acquisition/ata_health.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "acquisition/device_descriptor.h"
#include "platform/byte_order.h"
#include "platform/win32/storage_layout.h"
#include "standins/drive_model.h"

namespace diag {
namespace {

using Block = platform::DriveModel::Block;
using Page = std::array<std::uint8_t, 512>;

// A Device Statistics page whose header names `header` and whose statistic at offset 8 holds
// `statistic` (flags in the top bits).
Page StatisticsPage(std::uint8_t header, std::uint64_t statistic)
{
    Page l_Page{};
    l_Page[0] = 1;
    l_Page[2] = header;
    platform::le::Store64(l_Page.data() + 8, statistic);
    return l_Page;
}

constexpr std::uint64_t kSupportedValid = 0xC000000000000000ull;

TEST(AtaHealthTest, TheStatusRegistersGiveTheVerdict)
{
    struct Case {
        std::uint8_t low;
        std::uint8_t high;
        std::optional<bool> exceeded;
    };
    const Case cases[] = {{0x4F, 0xC2, false},
                          {0xF4, 0x2C, true},
                          {0, 0, std::nullopt},
                          {0xF4, 0xC2, std::nullopt},
                          {0x4F, 0x2C, std::nullopt}};
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.low));
        platform::AtaRegisters l_Registers;
        l_Registers.lbaMid = c.low;
        l_Registers.lbaHigh = c.high;
        EXPECT_EQ(ParseStatusRegisters(l_Registers), c.exceeded);
    }
}

TEST(AtaHealthTest, OnlyAPreFailureAttributeAtItsNonZeroThresholdCounts)
{
    struct Case {
        const char* what;
        std::uint16_t flags;
        std::uint8_t current;
        std::uint8_t threshold;
        bool atThreshold;
    };
    const Case cases[] = {
        {"above its threshold", 3, 11, 10, false},
        {"at its threshold", 3, 10, 10, true},
        {"below its threshold", 1, 1, 10, true},
        {"advisory, not pre-failure", 2, 1, 10, false},
        {"threshold 0: never fails", 3, 0, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Block l_Attributes{};
        Block l_Thresholds{};
        platform::PutAttribute(l_Attributes, 4, 5, c.flags, c.current, c.current, 0);
        // The threshold block lists the attribute at another place than the attribute block.
        l_Thresholds[2 + 12 * 7] = 5;
        l_Thresholds[2 + 12 * 7 + 1] = c.threshold;
        EXPECT_EQ(AttributeAtThreshold(ParseAttributeBlock(l_Attributes.data()),
                                       ParseThresholdBlock(l_Thresholds.data())),
                  c.atThreshold);
    }
}

TEST(AtaHealthTest, AStatisticCountsOnlyOnItsPageWhenSupportedAndValid)
{
    struct Case {
        const char* what;
        std::uint8_t header;
        std::uint64_t statistic;
        std::optional<std::int32_t> temperature;  // read as page 05h
        std::optional<std::int32_t> used;         // the same page read as page 07h
    };
    const Case cases[] = {
        {"supported and valid", 5, kSupportedValid | 0x2A, 42, std::nullopt},
        {"below zero", 5, kSupportedValid | 0xFB, -5, std::nullopt},
        {"supported, not valid", 5, (1ull << 63) | 0x2A, std::nullopt, std::nullopt},
        {"valid, not supported", 5, (1ull << 62) | 0x2A, std::nullopt, std::nullopt},
        {"wear above 100", 7, kSupportedValid | 0xFE, std::nullopt, 254},
        {"a page naming another page", 6, kSupportedValid | 0x2A, std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Page l_Page = StatisticsPage(c.header, c.statistic);
        const DeviceStatistics l_Statistics = ParseDeviceStatistics(l_Page.data(), l_Page.data());
        EXPECT_EQ(l_Statistics.temperature, c.temperature);
        EXPECT_EQ(l_Statistics.percentageUsed, c.used);
    }
    const DeviceStatistics l_None = ParseDeviceStatistics(nullptr, nullptr);
    EXPECT_FALSE(l_None.temperature || l_None.percentageUsed);
}

TEST(AtaHealthTest, TheListOfPagesHoldsAsManyEntriesAsItsCount)
{
    Page l_List{};
    l_List[8] = 3;
    l_List[9] = 0;
    l_List[10] = 5;
    l_List[11] = 7;
    l_List[12] = 6;  // beyond the count
    EXPECT_TRUE(ListsPage(l_List.data(), 5));
    EXPECT_TRUE(ListsPage(l_List.data(), 7));
    EXPECT_FALSE(ListsPage(l_List.data(), 6));
    // The largest count: 255 entries, the last at byte 263.
    l_List[8] = 255;
    l_List[263] = 9;
    l_List[264] = 10;
    EXPECT_TRUE(ListsPage(l_List.data(), 9));
    EXPECT_FALSE(ListsPage(l_List.data(), 10));
    // A page 0 whose header names another page lists nothing.
    l_List[2] = 1;
    EXPECT_FALSE(ListsPage(l_List.data(), 5));
}

// The driver's answer: the texts end at their NUL or at the end of the bytes returned.
TEST(DeviceDescriptorTest, TextsAreReadOnlyInsideTheAnswer)
{
    std::uint8_t l_Answer[platform::storage::kDeviceAnswerSize] = {};
    const std::uint32_t l_nSize = platform::storage::EncodeDeviceDescriptor(
        l_Answer, sizeof(l_Answer), platform::bus::kSata, "  SSD 870 EVO  ", "S5Y1 ");
    platform::StorageDescriptor l_Full;
    ASSERT_TRUE(platform::storage::ParseDeviceDescriptor(l_Answer, l_nSize, l_Full));
    EXPECT_EQ(l_Full.busType, platform::bus::kSata);
    EXPECT_EQ(l_Full.product, "  SSD 870 EVO  ");
    EXPECT_EQ(l_Full.serial, "S5Y1 ");
    // The serial number's text begins beyond the bytes returned: it is left out, and the model
    // ends where the answer does.
    platform::StorageDescriptor l_Short;
    ASSERT_TRUE(platform::storage::ParseDeviceDescriptor(l_Answer, 46, l_Short));
    EXPECT_EQ(l_Short.product, "  SSD ");
    EXPECT_EQ(l_Short.serial, "");
    EXPECT_FALSE(platform::storage::ParseDeviceDescriptor(l_Answer, 31, l_Short));
    platform::le::Store32(l_Answer + 4, 31);  // the descriptor ends before the bus type
    EXPECT_FALSE(platform::storage::ParseDeviceDescriptor(l_Answer, l_nSize, l_Short));
}

TEST(DeviceDescriptorTest, TheModelJoinsVendorAndProductUnlessTheVendorIsAta)
{
    const struct {
        const char* vendor;
        const char* product;
        const wchar_t* model;
    } cases[] = {
        {"Samsung ", "SSD 870 EVO", L"Samsung SSD 870 EVO"},
        {"ATA     ", "SSD 870 EVO  ", L"SSD 870 EVO"},
        {"", "  SSD 870 EVO", L"SSD 870 EVO"},
        {"WDC", "", L"WDC"},
        {"   ", "   ", L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.vendor);
        platform::StorageDescriptor l_Descriptor;
        l_Descriptor.vendor = c.vendor;
        l_Descriptor.product = c.product;
        l_Descriptor.serial = " S5Y1 ";
        const DeviceDescriptor l_Described = Describe(l_Descriptor);
        EXPECT_EQ(l_Described.model, c.model);
        EXPECT_EQ(l_Described.serial, L"S5Y1");
    }
}

}  // namespace
}  // namespace diag
