// Runs unchanged against the posix profile functions and, in the Windows build under Wine,
// against the real ones: the expectations are what Windows does.
#include "platform/profile.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>

#include "common/temp_folder.h"
#include "platform/last_error.h"

namespace {

using testing_support::TempFolder;

class ProfileTest : public ::testing::Test {
protected:
    std::wstring Read(const std::wstring& file, const std::wstring& section,
                      const std::wstring& key, const std::wstring& defaultValue = L"DEF",
                      std::size_t bufferChars = 260)
    {
        return m_profile.GetString(section, key, defaultValue, bufferChars, m_folder.Path(file));
    }
    unsigned int ReadInt(const std::wstring& file, const std::wstring& section,
                         const std::wstring& key, int defaultValue)
    {
        return m_profile.GetInt(section, key, defaultValue, m_folder.Path(file));
    }
    bool Write(const std::wstring& file, const std::wstring& section, const std::wstring& key,
               const std::wstring& value)
    {
        return m_profile.WriteString(section, key, value, m_folder.Path(file));
    }

    platform::Profile& m_profile = platform::Profile::System();
    TempFolder m_folder;
};

TEST_F(ProfileTest, SectionAndKeyNamesMatchWithoutCase)
{
    m_folder.Write(L"a.ini",
                   "[Section]\r\nKeyName=Value\r\n[ Padded ]\r\n  spaced key  =  v a l  \r\n");
    EXPECT_EQ(Read(L"a.ini", L"SECTION", L"keyname"), L"Value");
    EXPECT_EQ(Read(L"a.ini", L"section", L"KEYNAME"), L"Value");
    EXPECT_EQ(Read(L"a.ini", L"padded", L"Spaced Key"), L"v a l");
    EXPECT_EQ(Read(L"a.ini", L" Padded ", L" spaced key "), L"v a l");
}

TEST_F(ProfileTest, LongValueIsCutToTheBuffer)
{
    std::string value;
    for (int i = 0; i < 300; ++i) {
        value.push_back(static_cast<char>('a' + i % 26));
    }
    m_folder.Write(L"long.ini", "[L]\r\nv=" + value + "\r\n");
    const std::wstring read = Read(L"long.ini", L"L", L"v");
    EXPECT_EQ(read.size(), 259u);
    EXPECT_EQ(read, std::wstring(value.begin(), value.begin() + 259));
    EXPECT_EQ(Read(L"long.ini", L"L", L"v", L"", 4), L"abc");
    EXPECT_EQ(Read(L"long.ini", L"L", L"v", L"", 1), L"");
    EXPECT_EQ(Read(L"long.ini", L"L", L"missing", L"Default", 4), L"Def");
}

TEST_F(ProfileTest, ValuesLoseSurroundingBlanksAndMatchingQuotes)
{
    m_folder.Write(
        L"q.ini",
        "[S]\r\nq1=\"quoted\"\r\nq2='single'\r\nq3=\"open\r\nq4=\"a\" b\r\nq5=\"\"\r\nq6=\" in "
        "\"\r\n"
        "eq=a=b\r\ntab=\tx\t\r\nnoequals\r\ndup=first\r\ndup=second\r\ncut=\"abcdef\"\r\n");
    EXPECT_EQ(Read(L"q.ini", L"S", L"q1"), L"quoted");
    EXPECT_EQ(Read(L"q.ini", L"S", L"q2"), L"single");
    EXPECT_EQ(Read(L"q.ini", L"S", L"q3"), L"\"open");
    EXPECT_EQ(Read(L"q.ini", L"S", L"q4"), L"\"a\" b");
    EXPECT_EQ(Read(L"q.ini", L"S", L"q5"), L"");
    EXPECT_EQ(Read(L"q.ini", L"S", L"q6"), L" in ");
    EXPECT_EQ(Read(L"q.ini", L"S", L"eq"), L"a=b");
    EXPECT_EQ(Read(L"q.ini", L"S", L"tab"), L"x");
    EXPECT_EQ(Read(L"q.ini", L"S", L"noequals"), L"DEF");
    EXPECT_EQ(Read(L"q.ini", L"S", L"dup"), L"first");
    // The closing quote is dropped only when the buffer could have held it.
    EXPECT_EQ(Read(L"q.ini", L"S", L"cut", L"", 7), L"abcde");
    EXPECT_EQ(Read(L"q.ini", L"S", L"cut", L"", 8), L"abcdef");
    // A default loses trailing spaces, not leading ones.
    EXPECT_EQ(Read(L"q.ini", L"S", L"missing", L"def  "), L"def");
    EXPECT_EQ(Read(L"q.ini", L"S", L"missing", L"  def"), L"  def");
}

TEST_F(ProfileTest, SectionHeadersAndLinesBeforeTheFirstSection)
{
    m_folder.Write(
        L"h.ini",
        "pre=before\r\n[One] trailing text\r\nk=one\r\n[Two\r\nk=two\r\n[one]\r\nk=again\r\n"
        "other=later\r\n[Empty]\r\n");
    EXPECT_EQ(Read(L"h.ini", L"", L"pre"), L"before");
    EXPECT_EQ(Read(L"h.ini", L"One", L"k"), L"one");
    EXPECT_EQ(Read(L"h.ini", L"Two", L"k"), L"DEF");
    // Only the first section of a name counts.
    EXPECT_EQ(Read(L"h.ini", L"One", L"other"), L"DEF");
    EXPECT_EQ(Read(L"h.ini", L"Empty", L"k"), L"DEF");
}

TEST_F(ProfileTest, IntegerReadTakesTheLeadingNumber)
{
    m_folder.Write(
        L"n.ini",
        "[N]\r\nletters_after=12abc\r\nletters=abc\r\nempty=\r\nblanks=   "
        "\r\nhex=0x10\r\nupper_hex=0X10\r\n"
        "negative=-5\r\nleading_blank= 42\r\nplus=+5\r\nzero_lead=010\r\nhuge=99999999999\r\n"
        "two_numbers=12 34\r\nsign_only=-\r\nspaced_sign=- "
        "5\r\nquoted=\"7\"\r\nnegative_hex=-0x10\r\n"
        "hex_cut=0x1g\r\nbinary=0b101\r\nlong_zeros=00000000000000000000000000000000000012\r\n");
    const struct {
        const wchar_t* key;
        unsigned int expected;
    } cases[] = {
        {L"letters_after", 12},
        {L"letters", 0},
        {L"empty", 45000},
        {L"blanks", 45000},
        {L"hex", 16},
        {L"upper_hex", 0},
        {L"negative", 4294967291u},
        {L"leading_blank", 42},
        {L"plus", 5},
        {L"zero_lead", 10},
        {L"huge", 1215752191u},
        {L"two_numbers", 12},
        {L"sign_only", 0},
        {L"spaced_sign", 0},
        {L"quoted", 7},
        {L"negative_hex", 4294967280u},
        {L"hex_cut", 1},
        {L"binary", 5},
        // The value is read through a buffer of 30 characters: the digits beyond it are lost.
        {L"long_zeros", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadInt(L"n.ini", L"N", c.key, 45000), c.expected)
            << "key " << std::string(c.key, c.key + wcslen(c.key));
    }
    EXPECT_EQ(ReadInt(L"n.ini", L"N", L"empty", -3), 4294967293u);
}

TEST_F(ProfileTest, MissingFileSectionOrKeyGivesTheDefault)
{
    m_folder.Write(L"m.ini", "[S]\r\nk=1\r\n");
    EXPECT_EQ(Read(L"none.ini", L"S", L"k"), L"DEF");
    EXPECT_EQ(Read(L"m.ini", L"T", L"k"), L"DEF");
    EXPECT_EQ(Read(L"m.ini", L"S", L"x"), L"DEF");
    EXPECT_EQ(ReadInt(L"none.ini", L"S", L"k", 78), 78u);
    EXPECT_EQ(ReadInt(L"m.ini", L"T", L"k", 77), 77u);
    EXPECT_EQ(ReadInt(L"m.ini", L"S", L"x", 76), 76u);
    EXPECT_EQ(ReadInt(L"m.ini", L"S", L"k", 76), 1u);
    // Without a file name nothing is read or written.
    EXPECT_EQ(m_profile.GetString(L"S", L"k", L"DEF", 260, L""), L"DEF");
    platform::SetLastErrorCode(0);
    EXPECT_FALSE(m_profile.WriteString(L"S", L"k", L"v", L""));
    EXPECT_EQ(platform::GetLastErrorCode(), platform::kErrorAccessDenied);
    // Nor from or into a folder.
    EXPECT_EQ(m_profile.GetString(L"S", L"k", L"DEF", 260, m_folder.Path()), L"DEF");
    platform::SetLastErrorCode(0);
    EXPECT_FALSE(m_profile.WriteString(L"S", L"k", L"v", m_folder.Path()));
    EXPECT_EQ(platform::GetLastErrorCode(), platform::kErrorAccessDenied);
}

TEST_F(ProfileTest, DefaultLosesMatchingQuotesLikeAValue)
{
    m_folder.Write(L"m.ini", "[S]\r\nk=1\r\n");
    EXPECT_EQ(Read(L"m.ini", L"S", L"x", L"\"qd\""), L"qd");
    EXPECT_EQ(Read(L"none.ini", L"S", L"x", L"'qd'"), L"qd");
}

TEST_F(ProfileTest, OnlyAsciiBlanksAroundValuesAreRemoved)
{
    m_folder.Write(L"u.ini",
                   "\xef\xbb\xbf[S]\r\nnbsp=\xc2\xa0x\xc2\xa0\r\nideographic=\xe3\x80\x80x\r\n"
                   "eof_mark=\x1ax\x1a\r\nvertical=\x0b\x0cx\x0b\x0c\r\n");
    EXPECT_EQ(Read(L"u.ini", L"S", L"nbsp"), L"\u00a0x\u00a0");
    EXPECT_EQ(Read(L"u.ini", L"S", L"ideographic"), L"\u3000x");
    EXPECT_EQ(Read(L"u.ini", L"S", L"eof_mark"), L"x");
    EXPECT_EQ(Read(L"u.ini", L"S", L"vertical"), L"x");
}

TEST_F(ProfileTest, WriteChangesOnlyItsLine)
{
    m_folder.Write(L"w.ini", "; head\r\n[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n");
    ASSERT_TRUE(Write(L"w.ini", L"a", L"Y", L"new"));
    EXPECT_EQ(m_folder.Read(L"w.ini"), "; head\r\n[A]\r\nx=1\r\ny=new\r\n[B]\r\nz=3\r\n");
    ASSERT_TRUE(Write(L"w.ini", L"A", L"added", L"v"));
    EXPECT_EQ(m_folder.Read(L"w.ini"),
              "; head\r\n[A]\r\nx=1\r\ny=new\r\nadded=v\r\n[B]\r\nz=3\r\n");
    ASSERT_TRUE(Write(L"w.ini", L"C", L"c", L"3"));
    EXPECT_EQ(m_folder.Read(L"w.ini"),
              "; head\r\n[A]\r\nx=1\r\ny=new\r\nadded=v\r\n[B]\r\nz=3\r\n[C]\r\nc=3\r\n");
    EXPECT_EQ(Read(L"w.ini", L"a", L"y"), L"new");
}

TEST_F(ProfileTest, SectionWriteReplacesTheSectionsLinesAndKeepsTheRest)
{
    const platform::Profile::Entries entries{{L"a", L"1"}, {L"b", L"two"}};
    const struct {
        const char* before;
        const char* after;
    } cases[] = {
        {"[S]\r\nold=x\r\na=0\r\n[T]\r\nt=1\r\n", "[S]\r\na=1\r\nb=two\r\n[T]\r\nt=1\r\n"},
        {"[T]\r\nt=1\r\n[S]\r\nold=x", "[T]\r\nt=1\r\n[S]\r\na=1\r\nb=two\r\n"},
        {"[T]\r\nt=1\r\n", "[T]\r\nt=1\r\n[s]\r\na=1\r\nb=two\r\n"},
        {"[S]\r\n[T]\r\nt=1\r\n", "[S]\r\na=1\r\nb=two\r\n[T]\r\nt=1\r\n"},
        {"", "[s]\r\na=1\r\nb=two\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.before);
        m_folder.Write(L"s.ini", c.before);
        ASSERT_TRUE(m_profile.WriteSection(L"s", entries, m_folder.Path(L"s.ini")));
        EXPECT_EQ(m_folder.Read(L"s.ini"), c.after);
    }
    ASSERT_TRUE(m_profile.WriteSection(L"N", entries, m_folder.Path(L"missing.ini")));
    EXPECT_EQ(Read(L"missing.ini", L"n", L"B"), L"two");
}

TEST_F(ProfileTest, WriteAfterALastLineWithoutLineBreak)
{
    m_folder.Write(L"e1.ini", "[S]\r\na=1");
    ASSERT_TRUE(Write(L"e1.ini", L"S", L"b", L"2"));
    EXPECT_EQ(m_folder.Read(L"e1.ini"), "[S]\r\na=1\r\nb=2\r\n");
    m_folder.Write(L"e2.ini", "[S]\r\na=1");
    ASSERT_TRUE(Write(L"e2.ini", L"T", L"b", L"2"));
    EXPECT_EQ(m_folder.Read(L"e2.ini"), "[S]\r\na=1\r\n[T]\r\nb=2\r\n");
    m_folder.Write(L"e3.ini", "");
    ASSERT_TRUE(Write(L"e3.ini", L"T", L"b", L"2"));
    EXPECT_EQ(m_folder.Read(L"e3.ini"), "[T]\r\nb=2\r\n");
}

TEST_F(ProfileTest, WriteCreatesAMissingFileWithCrlfAndCp1252)
{
    ASSERT_TRUE(Write(L"new.ini", L"S", L"k", L"caf\u00e9 \u20ac \u2603"));
    EXPECT_EQ(m_folder.Read(L"new.ini"), "[S]\r\nk=caf\xe9 \x80 ?\r\n");
    EXPECT_EQ(Read(L"new.ini", L"S", L"k"), L"caf\u00e9 \u20ac ?");
}

TEST_F(ProfileTest, WriteIntoAMissingFolderFailsWithPathNotFound)
{
    platform::SetLastErrorCode(0);
    EXPECT_FALSE(Write(L"no-such-folder/x.ini", L"S", L"k", L"v"));
    EXPECT_EQ(platform::GetLastErrorCode(), platform::kErrorPathNotFound);
    EXPECT_EQ(m_folder.Read(L"no-such-folder/x.ini"), "<missing>");
}

TEST_F(ProfileTest, ReadsAnsiUtf8AndUtf16Files)
{
    m_folder.Write(L"ansi.ini", "[S]\r\na=caf\xe9 \x80\r\n");
    EXPECT_EQ(Read(L"ansi.ini", L"S", L"a"), L"caf\u00e9 \u20ac");
    m_folder.Write(L"u8.ini", "\xef\xbb\xbf[S]\r\na=caf\xc3\xa9 \xe2\x82\xac \xe2\x98\x83\r\n");
    EXPECT_EQ(Read(L"u8.ini", L"s", L"A"), L"caf\u00e9 \u20ac \u2603");
    std::string u16 = "\xff\xfe";
    for (wchar_t c : std::wstring(L"[S]\r\na=caf\u00e9 \u20ac \u2603\r\n")) {
        u16.push_back(static_cast<char>(c & 0xff));
        u16.push_back(static_cast<char>((c >> 8) & 0xff));
    }
    m_folder.Write(L"u16.ini", u16);
    EXPECT_EQ(Read(L"u16.ini", L"s", L"A"), L"caf\u00e9 \u20ac \u2603");
    m_folder.Write(L"lf.ini", "[S]\na=1\nb=2\n");
    EXPECT_EQ(Read(L"lf.ini", L"S", L"b"), L"2");
    m_folder.Write(L"cr.ini", "[S]\ra=1\rb=2\r");
    EXPECT_EQ(Read(L"cr.ini", L"S", L"b"), L"2");
}

TEST_F(ProfileTest, WriteKeepsTheEncodingOfAFileWithByteOrderMark)
{
    m_folder.Write(L"u8.ini", "\xef\xbb\xbf[S]\r\na=1\r\n");
    ASSERT_TRUE(Write(L"u8.ini", L"S", L"b", L"\u00e9\u2603"));
    EXPECT_EQ(m_folder.Read(L"u8.ini"), "\xef\xbb\xbf[S]\r\na=1\r\nb=\xc3\xa9\xe2\x98\x83\r\n");
    std::string u16 = "\xff\xfe";
    for (wchar_t c : std::wstring(L"[S]\r\na=1\r\n")) {
        u16.push_back(static_cast<char>(c & 0xff));
        u16.push_back('\0');
    }
    m_folder.Write(L"u16.ini", u16);
    ASSERT_TRUE(Write(L"u16.ini", L"S", L"b", L"\u00e9"));
    EXPECT_EQ(m_folder.Read(L"u16.ini"), u16 + std::string("b\0=\0\xe9\0\r\0\n\0", 10));
}

TEST_F(ProfileTest, CharacterOutsideTheBasicPlaneInAUtf16File)
{
    // U+1F600 is the surrogate pair D83D DE00.
    const std::string pair("\x3d\xd8\x00\xde", 4);
    const std::string u16 =
        std::string("\xff\xfe[\0S\0]\0\r\0\n\0a\0=\0", 16) + pair + std::string("!\0\r\0\n\0", 6);
    m_folder.Write(L"u16.ini", u16);
    EXPECT_EQ(Read(L"u16.ini", L"S", L"a"), L"\U0001F600!");
    ASSERT_TRUE(Write(L"u16.ini", L"S", L"b", L"\U0001F600"));
    EXPECT_EQ(m_folder.Read(L"u16.ini"),
              u16 + std::string("b\0=\0", 4) + pair + std::string("\r\0\n\0", 4));
}

TEST_F(ProfileTest, StrayLastByteOfAUtf16FileIsAUnit)
{
    const std::string odd("\xff\xfe[\0S\0]\0\r\0\n\0a\0=\0001\0X", 19);
    m_folder.Write(L"odd.ini", odd);
    // The stray byte is the low byte of the last unit; Windows leaves the high byte to whatever
    // its read buffer held there (Wine: not always zero), so only the low byte is certain.
    const std::wstring read = Read(L"odd.ini", L"S", L"a");
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[0], L'1');
    EXPECT_EQ(read[1] & 0xFF, L'X');
    ASSERT_TRUE(Write(L"odd.ini", L"S", L"c", L"3"));
    // A write gives the unit back whole, with that same uncertain high byte.
    std::string written = m_folder.Read(L"odd.ini");
    ASSERT_EQ(written.size(), odd.size() + 15);
    written[odd.size()] = '\0';
    EXPECT_EQ(written, odd + std::string("\0\r\0\n\0c\0=\0003\0\r\0\n\0", 15));
    m_folder.Write(L"odd2.ini", odd);
    ASSERT_TRUE(Write(L"odd2.ini", L"T", L"b", L"2"));
    EXPECT_EQ(Read(L"odd2.ini", L"T", L"b"), L"2");
}

}  // namespace
