#include "acquisition/password_decoder.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace cfg {
namespace {

std::wstring Repeat(const std::wstring& text, int count)
{
    std::wstring l_strResult;
    for (int i = 0; i < count; ++i) {
        l_strResult += text;
    }
    return l_strResult;
}

TEST(PasswordDecoderTest, KeyHasFiftyOneDistinctCharactersOfTheFixedKinds)
{
    const std::wstring& l_strKey = PasswordDecoder::Key();
    ASSERT_EQ(l_strKey.size(), 51u);
    EXPECT_EQ(std::set<wchar_t>(l_strKey.begin(), l_strKey.end()).size(), 51u);
    int l_nUpper = 0, l_nLower = 0, l_nDigits = 0, l_nPunct = 0, l_nOther = 0;
    for (wchar_t c : l_strKey) {
        if (c >= L'A' && c <= L'Z') {
            ++l_nUpper;
        } else if (c >= L'a' && c <= L'z') {
            ++l_nLower;
        } else if (c >= L'0' && c <= L'9') {
            ++l_nDigits;
        } else if (c > 32 && c < 127) {
            ++l_nPunct;
        } else {
            ++l_nOther;
        }
    }
    EXPECT_EQ(l_nUpper, 14);
    EXPECT_EQ(l_nLower, 17);
    EXPECT_EQ(l_nDigits, 4);
    EXPECT_EQ(l_nPunct, 13);
    EXPECT_EQ(l_nOther, 3);
}

// With the key's first two characters 'g' (103) and '@' (64), hand-built texts.
TEST(PasswordDecoderTest, DecodesGroupsAgainstTheKey)
{
    EXPECT_EQ(PasswordDecoder::Decode(L"1682"), L"A");           // 00168: 168 - 103
    EXPECT_EQ(PasswordDecoder::Decode(L"168A1A2"), L"A$");       // 00168 00100
    EXPECT_EQ(PasswordDecoder::Decode(L"168001002"), L"A$");     // zeros written out
    EXPECT_EQ(PasswordDecoder::Decode(L"16801B2"), L"A\u03A8");  // 00168 01000
    EXPECT_EQ(PasswordDecoder::Decode(L"1681C2"), L"A\u26D0");   // 00168 10000
}

TEST(PasswordDecoderTest, RejectsTextThatIsNoScrambledPassword)
{
    EXPECT_EQ(PasswordDecoder::Decode(L""), L"");
    EXPECT_EQ(PasswordDecoder::Decode(L"168D2"), L"");  // a letter other than A, B, C
    EXPECT_EQ(PasswordDecoder::Decode(L"168a2"), L"");  // lower case is no zero run
    EXPECT_EQ(PasswordDecoder::Decode(L"168 2"), L"");
    EXPECT_EQ(PasswordDecoder::Decode(L"16820"), L"");  // final digit 0
    EXPECT_EQ(PasswordDecoder::Decode(L"1683"), L"");   // 000168: not whole groups
    EXPECT_EQ(PasswordDecoder::Decode(L"1681"), L"");   // 0168
}

TEST(PasswordDecoderTest, AcceptsAtMostOneGroupPerKeyCharacter)
{
    // "00100" per group; the first group's two zeros are cut off and counted by the final "2".
    const std::wstring l_strFull = Repeat(L"00100", 51).substr(2) + L"2";
    const std::wstring l_strTooLong = Repeat(L"00100", 52).substr(2) + L"2";
    EXPECT_EQ(PasswordDecoder::Decode(l_strFull).size(), 51u);
    EXPECT_EQ(PasswordDecoder::Decode(l_strTooLong), L"");
}

TEST(PasswordDecoderTest, ScrambledPasswordsDecodeToThemselves)
{
    const std::wstring l_Passwords[] = {
        L"A",
        L"A$",
        L"Secret-2024!",
        L"p\u00E4ssw\u00F6rd\u00DF",        // Latin-1 letters
        L"\u20AC uro \u2603 \u4E2D\u6587",  // characters beyond Latin-1
        std::wstring(1, wchar_t(0x7F)) + std::wstring(1, wchar_t(0xFFFF)),
        std::wstring(51, L'x'),
        L"A\u26D0\u03A8",
    };
    for (const std::wstring& l_strPassword : l_Passwords) {
        const auto l_strScrambled = PasswordDecoder::Scramble(l_strPassword);
        ASSERT_TRUE(l_strScrambled.has_value());
        for (wchar_t c : *l_strScrambled) {
            EXPECT_TRUE((c >= L'0' && c <= L'9') || c == L'A' || c == L'B' || c == L'C');
        }
        EXPECT_EQ(PasswordDecoder::Decode(*l_strScrambled), l_strPassword);
    }
    EXPECT_EQ(PasswordDecoder::Scramble(L"A$"), std::wstring(L"168A1A2"));
    EXPECT_EQ(PasswordDecoder::Scramble(L"A\u26D0"), std::wstring(L"1681C2"));
}

TEST(PasswordDecoderTest, ScrambleRefusesWhatCannotBeDecoded)
{
    EXPECT_FALSE(PasswordDecoder::Scramble(L"").has_value());
    EXPECT_FALSE(PasswordDecoder::Scramble(std::wstring(52, L'x')).has_value());
    // 9897 + 'g' is 10000: the first group would have no leading zero.
    EXPECT_TRUE(PasswordDecoder::Scramble(std::wstring(1, wchar_t(9896))).has_value());
    EXPECT_FALSE(PasswordDecoder::Scramble(std::wstring(1, wchar_t(9897))).has_value());
    EXPECT_TRUE(PasswordDecoder::Scramble(L"a" + std::wstring(1, wchar_t(9897))).has_value());
}

}  // namespace
}  // namespace cfg
