#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <string>

#include "support/version_number.h"

namespace {

std::array<std::uint32_t, 4> Parts(const SRVersionInfo& v)
{
    return {v.GetPart(0), v.GetPart(1), v.GetPart(2), v.GetPart(3)};
}

using P = std::array<std::uint32_t, 4>;

TEST(SRVersionInfo, ParsesUpToFourComponents)
{
    EXPECT_EQ(Parts(SRVersionInfo(L"2.8.1")), (P{2, 8, 1, 0}));
    const SRVersionInfo four(L"1.2.3.4");
    EXPECT_TRUE(four.IsValid());
    EXPECT_EQ(Parts(four), (P{1, 2, 3, 4}));
}

TEST(SRVersionInfo, InvalidTextsLeaveZeroes)
{
    for (const wchar_t* text :
         {L"1.2.3.4.5", L"1.2a", L"V2.8", L"-1", L"2,8", L" 2.8", L"\u0662.8"}) {
        const SRVersionInfo v(text);
        EXPECT_FALSE(v.IsValid()) << text;
        EXPECT_EQ(Parts(v), (P{0, 0, 0, 0})) << text;
    }
}

TEST(SRVersionInfo, EmptyItemsVanish)
{
    EXPECT_EQ(Parts(SRVersionInfo(L"2..8")), (P{2, 8, 0, 0}));
    EXPECT_EQ(Parts(SRVersionInfo(L".2.8.")), (P{2, 8, 0, 0}));
    const SRVersionInfo empty(L"");
    EXPECT_TRUE(empty.IsValid());
    EXPECT_EQ(Parts(empty), (P{0, 0, 0, 0}));
}

TEST(SRVersionInfo, FromNumber)
{
    EXPECT_EQ(Parts(SRVersionInfo(2.8)), (P{2, 8, 0, 0}));
    EXPECT_EQ(Parts(SRVersionInfo(3.0)), (P{3, 0, 0, 0}));
    EXPECT_EQ(Parts(SRVersionInfo(2.25)), (P{2, 25, 0, 0}));
    EXPECT_EQ(Parts(SRVersionInfo(0.0)), (P{0, 0, 0, 0}));
    EXPECT_TRUE(SRVersionInfo(0.0).IsValid());
    EXPECT_EQ(Parts(SRVersionInfo(2.05)), (P{2, 5, 0, 0}));  // "2.05" as written; leading zero
    EXPECT_FALSE(SRVersionInfo(-2.8).IsValid());
    EXPECT_FALSE(SRVersionInfo(std::numeric_limits<double>::infinity()).IsValid());
}

TEST(SRVersionInfo, NumberTwoPointEightEqualsItsTexts)
{
    const SRVersionInfo number(2.8);
    for (const wchar_t* text : {L"2.8", L"2.8.0", L"2.08", L"2.8.0.0"}) {
        EXPECT_TRUE(SRVersionInfo(text) == number) << text;
    }
}

TEST(SRVersionInfo, Comparisons)
{
    const SRVersionInfo required(2.8);
    EXPECT_TRUE(SRVersionInfo(L"2.8") >= required);
    EXPECT_FALSE(SRVersionInfo(L"2.8") > required);
    EXPECT_FALSE(SRVersionInfo(L"2.8") < required);
    EXPECT_TRUE(SRVersionInfo(L"2.7.99") < required);
    EXPECT_FALSE(SRVersionInfo(L"2.7.99") >= required);
    EXPECT_TRUE(SRVersionInfo(L"2.10") > required);  // numbers, not digit strings
    EXPECT_TRUE(SRVersionInfo(L"4294967295") > SRVersionInfo(L"2147483648"));  // unsigned
    for (const wchar_t* text : {L"2.8", L"2.8.1", L"2.10", L"3"}) {
        EXPECT_TRUE(SRVersionInfo(text) >= required) << text;
    }
    for (const wchar_t* text : {L"2.7.9", L"", L"V2.8", L"2.8.0.0.1"}) {
        EXPECT_FALSE(SRVersionInfo(text) >= required) << text;
    }
}

TEST(SRVersionInfo, ComponentsBeyondThirtyTwoBitsSaturate)
{
    EXPECT_EQ(SRVersionInfo(L"99999999999.1").GetPart(0), 4294967295u);
    EXPECT_TRUE(SRVersionInfo(L"99999999999") > SRVersionInfo(L"4294967294"));
}

TEST(SRVersionInfo, PartsBeyondTheFourthAreZero)
{
    const SRVersionInfo v(L"1.2.3.4");
    EXPECT_EQ(v.GetPart(4), 0u);
    EXPECT_EQ(v.GetPart(4294967295u), 0u);
}

}  // namespace
