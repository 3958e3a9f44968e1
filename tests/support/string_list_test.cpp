#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/string_list.h"

namespace {

std::vector<std::wstring> Split(const std::wstring& text, const wchar_t* separators = nullptr)
{
    SRStringlist list;
    if (separators != nullptr) {
        list.SetSeparators(separators);
    }
    list.Split(text);
    return std::vector<std::wstring>(list.begin(), list.end());
}

using Items = std::vector<std::wstring>;

TEST(SRStringlist, DefaultSeparators)
{
    EXPECT_EQ(SRStringlist().GetSeparators(), L";,\r\n");
    EXPECT_EQ(Split(L"a,,b;"), (Items{L"a", L"b"}));
    EXPECT_EQ(Split(L"line 1\r\nline 2\r\n\r\nline 3\r\n"),
              (Items{L"line 1", L"line 2", L"line 3"}));
}

TEST(SRStringlist, EmptyAndSeparatorOnlyTextsGiveNoItems)
{
    EXPECT_TRUE(Split(L"").empty());
    EXPECT_TRUE(Split(L";,\r\n;;").empty());
}

TEST(SRStringlist, SingleItemWithOrWithoutSurroundingSeparators)
{
    EXPECT_EQ(Split(L"a"), Items{L"a"});
    EXPECT_EQ(Split(L";a,"), Items{L"a"});
}

TEST(SRStringlist, NothingIsTrimmedAndOrderIsKept)
{
    EXPECT_EQ(Split(L"a, b"), (Items{L"a", L" b"}));
    EXPECT_EQ(Split(L"z;y;x"), (Items{L"z", L"y", L"x"}));
}

TEST(SRStringlist, SplitReplacesEarlierItems)
{
    SRStringlist list;
    list.Split(L"a;b;c");
    list.SetSeparators(L".");
    EXPECT_EQ(list.size(), 3u);  // a new separator set keeps the items
    list.Split(L"2.8");
    EXPECT_EQ(Items(list.begin(), list.end()), (Items{L"2", L"8"}));
    list.Split(L"");
    EXPECT_TRUE(list.empty());
}

TEST(SRStringlist, OwnSeparatorSet)
{
    EXPECT_EQ(Split(L"..2..8.", L"."), (Items{L"2", L"8"}));
    EXPECT_EQ(Split(L"a;b.c", L"."), (Items{L"a;b", L"c"}));
    EXPECT_EQ(Split(L"a;b", L""), Items{L"a;b"});
}

}  // namespace
