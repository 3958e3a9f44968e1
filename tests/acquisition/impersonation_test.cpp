#include "acquisition/impersonation.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <thread>

#include "common/thrown_message.h"
#include "fakes/fake_logon.h"
#include "platform/seam.h"

namespace utils {
namespace {

class ImpersonationTest : public testing::Test {
protected:
    fakes::FakeLogon m_Logon;
    platform::Substitute<platform::Logon> m_Substitute{m_Logon};
};

using vexa_test::MessageOf;

TEST_F(ImpersonationTest, WithoutAccountNothingHappens)
{
    {
        Impersonation l_Scope(L"", L"");
    }
    EXPECT_TRUE(m_Logon.m_Logons.empty());
    EXPECT_EQ(m_Logon.m_nImpersonations, 0);
    EXPECT_EQ(m_Logon.m_nReverts, 0);
    EXPECT_EQ(m_Logon.m_nCloses, 0);
}

TEST_F(ImpersonationTest, ActsAsTheAccountForTheScope)
{
    {
        Impersonation l_Scope(L"TarselAdmin", L"pw");
        ASSERT_EQ(m_Logon.m_Logons.size(), 1u);
        EXPECT_EQ(m_Logon.m_Logons[0].first, L"TarselAdmin");
        EXPECT_EQ(m_Logon.m_Logons[0].second, L"pw");
        EXPECT_TRUE(m_Logon.m_bImpersonating);
    }
    EXPECT_FALSE(m_Logon.m_bImpersonating);
    EXPECT_EQ(m_Logon.m_nReverts, 1);
    EXPECT_TRUE(m_Logon.m_OpenTokens.empty());
}

// A thread whose impersonation could not be reverted knows it, and only that thread.
TEST_F(ImpersonationTest, ARevertThatFailsIsKnownToItsThreadAlone)
{
    m_Logon.m_bRevertSucceeds = false;
    unsigned long l_nOnThread = 0;
    std::thread l_Reader([&l_nOnThread] {
        {
            Impersonation l_Scope(L"TarselAdmin", L"pw");
        }
        l_nOnThread = Impersonation::RevertFailedOnThisThread();
    });
    l_Reader.join();
    EXPECT_EQ(l_nOnThread, 5u);
    EXPECT_EQ(Impersonation::RevertFailedOnThisThread(), 0u);
    EXPECT_TRUE(m_Logon.m_bImpersonating);
}

TEST_F(ImpersonationTest, FailedLogonThrows)
{
    m_Logon.m_bLogonSucceeds = false;
    EXPECT_EQ(MessageOf([] { Impersonation l_Scope(L"TarselAdmin", L"wrong"); }),
              "Unable to log on!");
    EXPECT_EQ(m_Logon.m_nImpersonations, 0);
    EXPECT_EQ(m_Logon.m_nReverts, 0);
}

TEST_F(ImpersonationTest, FailedImpersonationThrowsAndClosesTheToken)
{
    m_Logon.m_bImpersonateSucceeds = false;
    EXPECT_EQ(MessageOf([] { Impersonation l_Scope(L"TarselAdmin", L"pw"); }),
              "Impersonation failed!");
    EXPECT_EQ(m_Logon.m_nReverts, 0);
    EXPECT_EQ(m_Logon.m_nCloses, 1);
    EXPECT_TRUE(m_Logon.m_OpenTokens.empty());
}

TEST_F(ImpersonationTest, OneLogonServesManyImpersonations)
{
    auto l_pLogon = std::make_shared<const LogonToken>(L"TarselAdmin", L"pw");
    for (int i = 0; i < 3; ++i) {
        Impersonation l_Scope(l_pLogon);
        EXPECT_TRUE(m_Logon.m_bImpersonating);
    }
    EXPECT_EQ(m_Logon.m_Logons.size(), 1u);
    EXPECT_EQ(m_Logon.m_nImpersonations, 3);
    EXPECT_EQ(m_Logon.m_nReverts, 3);
    EXPECT_EQ(m_Logon.m_nCloses, 0);
    l_pLogon.reset();
    EXPECT_EQ(m_Logon.m_nCloses, 1);
}

TEST_F(ImpersonationTest, LogonWithoutAccountImpersonatesNothing)
{
    auto l_pLogon = std::make_shared<const LogonToken>(L"", L"");
    EXPECT_FALSE(l_pLogon->IsLoggedOn());
    {
        Impersonation l_Scope(l_pLogon);
    }
    EXPECT_EQ(m_Logon.m_nImpersonations, 0);
    EXPECT_EQ(m_Logon.m_nReverts, 0);
}

}  // namespace
}  // namespace utils
