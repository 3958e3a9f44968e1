#include "platform/posix/account_list.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "common/temp_folder.h"
#include "platform/last_error.h"

namespace platform {
namespace {

TEST(AccountListTest, LogsOnKnownAccountsOnly)
{
    AccountList l_Accounts;
    l_Accounts.Add(L"TarselAdmin", L"s3cret");
    Logon::Token l_hToken = Logon::kInvalidToken;
    EXPECT_FALSE(l_Accounts.LogOn(L"TarselAdmin", L"S3CRET", l_hToken));
    EXPECT_EQ(GetLastErrorCode(), kErrorLogonFailure);
    EXPECT_EQ(l_hToken, Logon::kInvalidToken);
    EXPECT_FALSE(l_Accounts.LogOn(L"Other", L"s3cret", l_hToken));
    ASSERT_TRUE(l_Accounts.LogOn(L"tarseladmin", L"s3cret", l_hToken));
    EXPECT_NE(l_hToken, Logon::kInvalidToken);
    l_Accounts.CloseToken(l_hToken);
}

TEST(AccountListTest, ImpersonatesOnTheCallingThreadOnly)
{
    AccountList l_Accounts;
    l_Accounts.Add(L"TarselAdmin", L"pw");
    Logon::Token l_hToken = Logon::kInvalidToken;
    ASSERT_TRUE(l_Accounts.LogOn(L"TarselAdmin", L"pw", l_hToken));
    ASSERT_TRUE(l_Accounts.Impersonate(l_hToken));
    EXPECT_EQ(AccountList::CurrentAccount(), L"TarselAdmin");
    std::wstring l_strOther = L"unset";
    std::thread([&] { l_strOther = AccountList::CurrentAccount(); }).join();
    EXPECT_EQ(l_strOther, L"");
    EXPECT_TRUE(l_Accounts.RevertToSelf());
    EXPECT_EQ(AccountList::CurrentAccount(), L"");

    l_Accounts.CloseToken(l_hToken);
    EXPECT_FALSE(l_Accounts.Impersonate(l_hToken));
    EXPECT_EQ(GetLastErrorCode(), kErrorInvalidHandle);
}

TEST(AccountListTest, ReadsNamePasswordLines)
{
    const testing_support::TempFolder l_Folder;
    l_Folder.Write(L"accounts.txt", "TarselAdmin:pa:ss\r\nno colon here\nOperator:\n");
    const std::filesystem::path l_Path(l_Folder.Path(L"accounts.txt"));
    AccountList l_Accounts;
    ASSERT_TRUE(l_Accounts.LoadFile(l_Path.string()));
    std::filesystem::remove(l_Path);
    Logon::Token l_hToken = Logon::kInvalidToken;
    EXPECT_TRUE(l_Accounts.LogOn(L"TarselAdmin", L"pa:ss", l_hToken));
    EXPECT_TRUE(l_Accounts.LogOn(L"Operator", L"", l_hToken));
    EXPECT_FALSE(l_Accounts.LogOn(L"no colon here", L"", l_hToken));
    EXPECT_FALSE(AccountList().LoadFile(l_Path.string()));
}

}  // namespace
}  // namespace platform
