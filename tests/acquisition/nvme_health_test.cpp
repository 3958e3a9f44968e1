#include "acquisition/nvme_health.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/byte_order.h"
#include "platform/win32/storage_layout.h"

namespace diag {
namespace {

namespace storage = platform::storage;
namespace le = platform::le;

using Page = std::array<std::uint8_t, storage::kHealthPageSize>;

// A page with every field the monitor reads, and different bytes around them.
Page SamplePage()
{
    Page l_Page{};
    for (std::size_t i = 0; i < l_Page.size(); ++i) {
        l_Page[i] = 0xEE;
    }
    l_Page[0] = 0x05;                     // critical warning: spare space low, reliability degraded
    le::Store16(l_Page.data() + 1, 318);  // 45 degrees Celsius
    l_Page[5] = 12;                       // percentage used
    le::Store64(l_Page.data() + 128, 21000);
    le::Store64(l_Page.data() + 136, 0);
    le::Store64(l_Page.data() + 160, 7);
    le::Store64(l_Page.data() + 168, 0);
    return l_Page;
}

// The readings of the page in a driver's answer, when the answer is sound.
std::optional<NvmeHealth> Parsed(const std::uint8_t* p_pAnswer, std::size_t p_nSize)
{
    const std::uint8_t* l_pPage = storage::HealthPageIn(p_pAnswer, p_nSize);
    if (l_pPage == nullptr) {
        return std::nullopt;
    }
    return ParseHealthPage(l_pPage);
}

std::vector<std::uint8_t> Answer(const Page& p_Page)
{
    std::vector<std::uint8_t> l_Answer(storage::kHealthAnswerSize);
    storage::EncodeHealthAnswer(l_Answer.data(), p_Page.data());
    return l_Answer;
}

void SetData(std::vector<std::uint8_t>& p_Answer, std::size_t p_nOffset, std::uint32_t p_nValue)
{
    le::Store32(p_Answer.data() + storage::kProtocolDescriptorDataOffset + p_nOffset, p_nValue);
}

TEST(NvmeHealthTest, MapsTheFieldsOfThePage)
{
    const NvmeHealth l_Health = ParseHealthPage(SamplePage().data());
    EXPECT_EQ(l_Health.CriticalWarning, 0x05);
    EXPECT_EQ(l_Health.Temperature, 45);
    EXPECT_EQ(l_Health.PercentageUsed, 12);
    EXPECT_EQ(l_Health.PowerOnHours, 21000);
    EXPECT_EQ(l_Health.MediaErrors, 7);
}

TEST(NvmeHealthTest, SaturatesTheCountersAndConvertsKelvin)
{
    Page l_Page = SamplePage();
    // The largest signed 32-bit value passes; one more and any upper bits saturate.
    le::Store64(l_Page.data() + 128, 2147483647u);
    le::Store64(l_Page.data() + 160, 2147483648u);
    EXPECT_EQ(ParseHealthPage(l_Page.data()).PowerOnHours, 2147483647);
    EXPECT_EQ(ParseHealthPage(l_Page.data()).MediaErrors, 2147483647);
    le::Store64(l_Page.data() + 128, 5);
    l_Page[143] = 1;  // bit 120 of power-on hours
    le::Store64(l_Page.data() + 160, 0);
    le::Store64(l_Page.data() + 168, 1);  // bit 64 of the media errors
    EXPECT_EQ(ParseHealthPage(l_Page.data()).PowerOnHours, 2147483647);
    EXPECT_EQ(ParseHealthPage(l_Page.data()).MediaErrors, 2147483647);
    le::Store64(l_Page.data() + 160, 0xFFFFFFFFFFFFFFFFull);
    EXPECT_EQ(ParseHealthPage(l_Page.data()).MediaErrors, 2147483647);

    le::Store16(l_Page.data() + 1, 273);
    EXPECT_EQ(ParseHealthPage(l_Page.data()).Temperature, 0);
    le::Store16(l_Page.data() + 1, 250);
    EXPECT_EQ(ParseHealthPage(l_Page.data()).Temperature, -23);
    le::Store16(l_Page.data() + 1, 0xFFFF);  // both bytes of the field count
    EXPECT_EQ(ParseHealthPage(l_Page.data()).Temperature, 65535 - 273);
}

TEST(NvmeHealthTest, ReadsThePageWhereTheDescriptorPutsIt)
{
    const std::vector<std::uint8_t> l_Answer = Answer(SamplePage());
    const auto l_Health = Parsed(l_Answer.data(), l_Answer.size());
    ASSERT_TRUE(l_Health);
    EXPECT_EQ(l_Health->PowerOnHours, 21000);
    EXPECT_EQ(l_Health->MediaErrors, 7);

    // A larger offset inside a larger answer is followed; the descriptor's size may count the
    // page too.
    std::vector<std::uint8_t> l_Later(storage::kHealthAnswerSize + 8, 0);
    storage::EncodeHealthAnswer(l_Later.data(), SamplePage().data());
    std::copy(l_Later.begin() + 48, l_Later.begin() + 48 + 512, l_Later.begin() + 56);
    SetData(l_Later, storage::kDataOffsetOffset, 48);
    le::Store32(l_Later.data() + 4, static_cast<std::uint32_t>(l_Later.size()));
    const auto l_Moved = Parsed(l_Later.data(), l_Later.size());
    ASSERT_TRUE(l_Moved);
    EXPECT_EQ(l_Moved->PowerOnHours, 21000);
    EXPECT_EQ(l_Moved->Temperature, 45);
}

TEST(NvmeHealthTest, AnUnsoundDescriptorReadsAsNoData)
{
    const std::vector<std::uint8_t> l_Good = Answer(SamplePage());
    auto Rejects = [](const std::vector<std::uint8_t>& p_Answer, std::size_t p_nSize) {
        return storage::HealthPageIn(p_Answer.data(), p_nSize) == nullptr;
    };
    // Short: fewer bytes returned than the descriptor, or than the page behind it.
    EXPECT_TRUE(Rejects(l_Good, 0));
    EXPECT_TRUE(Rejects(l_Good, storage::kProtocolDescriptorSize - 1));
    EXPECT_TRUE(Rejects(l_Good, storage::kHealthAnswerSize - 1));
    EXPECT_FALSE(Rejects(l_Good, storage::kHealthAnswerSize));
    EXPECT_EQ(storage::HealthPageIn(nullptr, 560), nullptr);

    auto With = [&l_Good](std::size_t p_nAt, std::uint32_t p_nValue) {
        std::vector<std::uint8_t> l_Answer = l_Good;
        le::Store32(l_Answer.data() + p_nAt, p_nValue);
        return l_Answer;
    };
    constexpr std::size_t kData = storage::kProtocolDescriptorDataOffset;
    // Version and size of the descriptor.
    EXPECT_TRUE(Rejects(With(0, 40), 560));
    EXPECT_TRUE(Rejects(With(4, 47), 560));
    EXPECT_TRUE(Rejects(With(4, 561), 560));  // larger than the answer
    EXPECT_FALSE(Rejects(With(4, 560), 560));
    // Wrong protocol or data type.
    EXPECT_TRUE(Rejects(With(kData + storage::kProtocolTypeOffset, 2), 560));  // ATA
    EXPECT_TRUE(Rejects(With(kData + storage::kDataTypeOffset, 1), 560));      // identify
    // The page's place: inside the protocol-specific data, misaligned, or past the end.
    EXPECT_TRUE(Rejects(With(kData + storage::kDataOffsetOffset, 36), 560));
    EXPECT_TRUE(Rejects(With(kData + storage::kDataOffsetOffset, 42), 600));
    EXPECT_TRUE(Rejects(With(kData + storage::kDataOffsetOffset, 44), 560));
    EXPECT_TRUE(Rejects(With(kData + storage::kDataOffsetOffset, 0xFFFFFFFCu), 560));
    // A page shorter than 512 bytes, or longer than the answer holds.
    EXPECT_TRUE(Rejects(With(kData + storage::kDataLengthOffset, 511), 560));
    EXPECT_TRUE(Rejects(With(kData + storage::kDataLengthOffset, 0), 560));
    EXPECT_TRUE(Rejects(With(kData + storage::kDataLengthOffset, 513), 560));
    EXPECT_TRUE(Rejects(With(kData + storage::kDataLengthOffset, 0xFFFFFFFFu), 560));
}

TEST(NvmeHealthTest, TheQueriesHaveTheDocumentedBytes)
{
    const storage::DeviceQuery l_Device = storage::EncodeDeviceQuery();
    EXPECT_EQ(std::vector<std::uint8_t>(l_Device.begin(), l_Device.end()),
              std::vector<std::uint8_t>(12, 0));

    const storage::HealthQuery l_Health = storage::EncodeHealthQuery();
    ASSERT_EQ(l_Health.size(), 560u);
    const std::vector<std::uint8_t> l_Head = {
        50, 0, 0, 0,   // StorageDeviceProtocolSpecificProperty
        0,  0, 0, 0,   // PropertyStandardQuery
        3,  0, 0, 0,   // ProtocolTypeNvme
        2,  0, 0, 0,   // NVMeDataTypeLogPage
        2,  0, 0, 0,   // the SMART / Health Information log page
        0,  0, 0, 0,   // from its start
        40, 0, 0, 0,   // the page follows the protocol-specific data
        0,  2, 0, 0};  // 512 bytes
    EXPECT_EQ(std::vector<std::uint8_t>(l_Health.begin(), l_Health.begin() + 32), l_Head);
    for (std::size_t i = 32; i < l_Health.size(); ++i) {
        ASSERT_EQ(l_Health[i], 0) << i;
    }
}

}  // namespace
}  // namespace diag
