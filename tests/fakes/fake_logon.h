#pragma once

#include "platform/logon.h"

#include <set>
#include <string>
#include <utility>
#include <vector>

namespace fakes {

// Logon and impersonation that succeed or fail as told and count every call.
class FakeLogon : public platform::Logon {
public:
    bool LogOn(const std::wstring& user, const wchar_t* password, Token& token) override;
    bool Impersonate(Token token) override;
    bool RevertToSelf() override;
    void CloseToken(Token token) override;

    bool m_bLogonSucceeds = true;
    bool m_bImpersonateSucceeds = true;
    bool m_bRevertSucceeds = true;

    std::vector<std::pair<std::wstring, std::wstring>> m_Logons;  // (user, password) per call
    int m_nImpersonations = 0;
    int m_nReverts = 0;
    int m_nCloses = 0;
    bool m_bImpersonating = false;
    std::set<Token> m_OpenTokens;

private:
    Token m_nNextToken = 0x500;
};

}  // namespace fakes
