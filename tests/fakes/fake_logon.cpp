#include "fakes/fake_logon.h"

#include "platform/last_error.h"

namespace fakes {

bool FakeLogon::LogOn(const std::wstring& user, const wchar_t* password, Token& token)
{
    m_Logons.emplace_back(user, password);
    if (!m_bLogonSucceeds) {
        platform::SetLastErrorCode(platform::kErrorLogonFailure);
        return false;
    }
    token = m_nNextToken++;
    m_OpenTokens.insert(token);
    return true;
}

bool FakeLogon::Impersonate(Token token)
{
    ++m_nImpersonations;
    if (!m_bImpersonateSucceeds || m_OpenTokens.count(token) == 0) {
        platform::SetLastErrorCode(platform::kErrorInvalidHandle);
        return false;
    }
    m_bImpersonating = true;
    return true;
}

bool FakeLogon::RevertToSelf()
{
    ++m_nReverts;
    if (!m_bRevertSucceeds) {
        platform::SetLastErrorCode(platform::kErrorAccessDenied);
        return false;
    }
    m_bImpersonating = false;
    return true;
}

void FakeLogon::CloseToken(Token token)
{
    ++m_nCloses;
    m_OpenTokens.erase(token);
}

}  // namespace fakes
