#include "platform/text.h"

#include <gtest/gtest.h>

#include "platform/clock.h"

#include <ctime>
#include <optional>
#include <string>

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

// UTF-8 is read strictly: every form that is no UTF-8 is refused, as it is no password.
TEST(Text, Utf8ToUtf16UnitsOnEveryPlatform)
{
    const struct {
        std::string bytes;
        std::optional<std::wstring> units;
    } cases[] = {
        {"caf\xc3\xa9 \xe2\x82\xac", L"caf\u00e9 \u20ac"},
        {"\xf0\x9f\x98\x80",
         std::wstring{static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)}},
        {"", L""},
        {"a\xc3", std::nullopt},             // cut
        {"\xc0\xaf", std::nullopt},          // overlong
        {"\xe0\x80\xaf", std::nullopt},      // overlong
        {"\xed\xa0\x80", std::nullopt},      // surrogate
        {"\xf4\x90\x80\x80", std::nullopt},  // beyond U+10FFFF
        {"\xff", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(platform::Utf8ToUtf16(c.bytes), c.units);
    }
}

TEST(Text, Utf8OfWideTextReplacesALoneSurrogate)
{
    EXPECT_EQ(platform::WideToUtf8(L"L\u00fcfter \u20ac"),
              "L\xc3\xbc"
              "fter \xe2\x82\xac");
    EXPECT_EQ(platform::WideToUtf8(std::wstring(1, static_cast<wchar_t>(0xD800))), "\xef\xbf\xbd");
    std::string appended;
    platform::AppendUtf8(appended, 0x110000);
    EXPECT_EQ(appended, "\xef\xbf\xbd");
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
