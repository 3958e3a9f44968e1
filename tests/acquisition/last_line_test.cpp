#include "acquisition/last_line.h"

#include <gtest/gtest.h>

#include <string>

#include "acquisition/mb_probe.h"
#include "common/temp_folder.h"

namespace MBDataAquisition {
namespace {

class LastLineTest : public testing::Test {
protected:
    std::string LastLineOf(const std::string& bytes)
    {
        m_folder.Write(L"history.txt", bytes);
        return MBProbe::ReadLastLine(m_folder.Path(L"history.txt"));
    }
    testing_support::TempFolder m_folder;
};

TEST_F(LastLineTest, MissingOrEmptyFileGivesTheEmptyLine)
{
    EXPECT_EQ(ReadLastLine(m_folder.Path(L"absent.txt")), "");
    EXPECT_EQ(ReadLastLine(L""), "");
    EXPECT_EQ(LastLineOf(""), "");
    EXPECT_EQ(LastLineOf("\n"), "");
}

TEST_F(LastLineTest, FinalLineBreakClosesTheLastLine)
{
    EXPECT_EQ(LastLineOf("first\nsecond"), "second");
    EXPECT_EQ(LastLineOf("first\nsecond\n"), "second");
    EXPECT_EQ(LastLineOf("first\r\nsecond\r\n"), "second");
    EXPECT_EQ(LastLineOf("only"), "only");
    // Two breaks at the end: the empty line between them is the last line.
    EXPECT_EQ(LastLineOf("first\nsecond\n\n"), "");
}

TEST_F(LastLineTest, OverlongLastLineGivesTheLineBeforeIt)
{
    const std::string fits(254, 'a');
    EXPECT_EQ(LastLineOf("before\n" + fits + "\n"), fits);
    EXPECT_EQ(LastLineOf("before\n" + fits), fits);
    EXPECT_EQ(LastLineOf("before\r\n" + fits + "\r\n"), fits);
    EXPECT_EQ(LastLineOf("before\n" + std::string(255, 'b') + "\n"), "before");
    EXPECT_EQ(LastLineOf("before\n" + std::string(255, 'b')), "before");
    EXPECT_EQ(LastLineOf("before\n" + std::string(10000, 'b') + "\n"), "before");
    EXPECT_EQ(LastLineOf(std::string(300, 'b')), "");
    EXPECT_EQ(LastLineOf("\n" + std::string(300, 'b')), "");
}

TEST_F(LastLineTest, OverlongLineEarlierInTheFileDoesNotFreezeTheReadings)
{
    EXPECT_EQ(LastLineOf("old\n" + std::string(400, 'x') + "\nnew 1\nnewest 2\n"), "newest 2");
}

TEST_F(LastLineTest, NoUsableLineNearTheEndGivesTheEmptyLine)
{
    EXPECT_EQ(LastLineOf("good\n" + std::string(kMaxTailBytes + 10, 'x')), "");
}

TEST_F(LastLineTest, LineEndsAtANul)
{
    EXPECT_EQ(LastLineOf(std::string("1 2\0 3\n", 7)), "1 2");
}

TEST_F(LastLineTest, LongFileIsReadFromItsEnd)
{
    std::string bytes;
    for (int i = 0; i < 20000; ++i) {
        bytes += "line " + std::to_string(i) + "\n";
    }
    EXPECT_EQ(LastLineOf(bytes), "line 19999");
}

}  // namespace
}  // namespace MBDataAquisition
