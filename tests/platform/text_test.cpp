#include "platform/text.h"

#include <gtest/gtest.h>

#include "platform/clock.h"

#include <ctime>

namespace {

TEST(Text, AnsiIsCp1252WithQuestionMarkForTheRest)
{
    EXPECT_EQ(platform::WideToAnsi(L"caf\u00e9 \u20ac \u2603"), "caf\xe9 \x80 ?");
    EXPECT_EQ(platform::AnsiToWide("caf\xe9 \x80\x9f"), L"caf\u00e9 \u20ac\u0178");
    EXPECT_TRUE(platform::IsAnsiRepresentable(L'\u00e9'));
    EXPECT_TRUE(platform::IsAnsiRepresentable(L'\u20ac'));
    EXPECT_FALSE(platform::IsAnsiRepresentable(L'\u2603'));
    EXPECT_FALSE(platform::IsAnsiRepresentable(L'\u0100'));
}

TEST(Text, EveryByteSurvivesARoundTrip)
{
    std::string all;
    for (int byte = 1; byte < 256; ++byte) {
        all.push_back(static_cast<char>(byte));
    }
    EXPECT_EQ(platform::WideToAnsi(platform::AnsiToWide(all)), all);
    EXPECT_EQ(platform::AnsiToWide(all).size(), all.size());
}

TEST(Text, CaseOfNames)
{
    EXPECT_EQ(platform::UpperCase(L"c:\\my.dll\\vexa-\u00e9\u00ff\u0161"),
              L"C:\\MY.DLL\\VEXA-\u00c9\u0178\u0160");
    EXPECT_TRUE(platform::EqualNoCase(L"CD1_Setup", L"cd1_SETUP"));
    EXPECT_TRUE(platform::EqualNoCase(L"gr\u00f6\u00dfe", L"GR\u00d6\u00dfE"));
    EXPECT_FALSE(platform::EqualNoCase(L"Fan1", L"Fan"));
    EXPECT_FALSE(platform::EqualNoCase(L"Fan1", L"Fan2"));
}

TEST(Clock, NowIsTheWallClock)
{
    const auto before = static_cast<std::int64_t>(std::time(nullptr));
    const std::int64_t now = platform::Clock::System().Now();
    EXPECT_GE(now, before);
    EXPECT_LE(now, before + 5);
}

}  // namespace
