#include "acquisition/smart_attribute.h"

#include <gtest/gtest.h>

#include "standins/drive_model.h"

namespace diag {
namespace {

using Block = platform::DriveModel::Block;

TEST(SmartAttributeTest, ReadsTheFieldsOfAnEntry)
{
    Block l_Block{};
    platform::PutAttribute(l_Block, 0, 9, 0x1234, 97, 88, 0x0A0B);
    const SmartTable l_Table = ParseAttributeBlock(l_Block.data());
    const SmartAttribute& l_Attribute = l_Table.at(9);
    EXPECT_EQ(l_Attribute.Id, 9);
    EXPECT_EQ(l_Attribute.StatusFlags, 0x1234);
    EXPECT_EQ(l_Attribute.CurrentValue, 97);
    EXPECT_EQ(l_Attribute.WorstValue, 88);
    EXPECT_EQ(l_Attribute.RawValue, 0x0A0B);
}

TEST(SmartAttributeTest, FindsTheLastEntryWhateverTheRevisionWord)
{
    Block l_Block{};
    l_Block[0] = 0xFF;
    l_Block[1] = 0xFF;
    platform::PutAttribute(l_Block, 29, 197, 0, 100, 100, 7);
    const SmartTable l_Table = ParseAttributeBlock(l_Block.data());
    ASSERT_EQ(l_Table.count(197), 1u);
    EXPECT_EQ(l_Table.at(197).RawValue, 7);
    // Entries 0..28 are all zero and yield the single ID 0.
    EXPECT_EQ(l_Table.size(), 2u);
}

TEST(SmartAttributeTest, AllZeroIdsGiveOneEntryTheFirst)
{
    Block l_Block{};
    platform::PutAttribute(l_Block, 0, 0, 1, 2, 3, 4);
    platform::PutAttribute(l_Block, 1, 0, 5, 6, 7, 8);
    const SmartTable l_Table = ParseAttributeBlock(l_Block.data());
    ASSERT_EQ(l_Table.size(), 1u);
    EXPECT_EQ(l_Table.at(0).StatusFlags, 1);
    EXPECT_EQ(l_Table.at(0).RawValue, 4);
}

TEST(SmartAttributeTest, KeepsOnlyTheLowSixteenBitsOfTheRawValue)
{
    Block l_Block{};
    platform::PutAttribute(l_Block, 0, 9, 0, 0, 0, 70000, 0xEE);  // 0x11170
    platform::PutAttribute(l_Block, 1, 5, 0, 0, 0, 0xFFFFFF0000ull | 0x1234, 0xFF);
    const SmartTable l_Table = ParseAttributeBlock(l_Block.data());
    EXPECT_EQ(l_Table.at(9).RawValue, 4464);
    EXPECT_EQ(l_Table.at(5).RawValue, 0x1234);
}

TEST(SmartAttributeTest, OfTwoEntriesWithOneIdTheFirstIsKept)
{
    Block l_Block{};
    platform::PutAttribute(l_Block, 3, 5, 0, 0, 0, 11);
    platform::PutAttribute(l_Block, 4, 5, 0, 0, 0, 22);
    EXPECT_EQ(ParseAttributeBlock(l_Block.data()).at(5).RawValue, 11);
}

}  // namespace
}  // namespace diag
