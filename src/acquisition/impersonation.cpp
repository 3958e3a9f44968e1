#include "acquisition/impersonation.h"

#include "platform/last_error.h"
#include "platform/seam.h"

#include <stdexcept>

namespace utils {

LogonToken::LogonToken(const std::wstring& p_strUser, const wchar_t* p_pPassword)
    : m_Logon(platform::Use<platform::Logon>())
{
    const wchar_t* l_pPassword = p_pPassword != nullptr ? p_pPassword : L"";
    if (p_strUser.empty() && *l_pPassword == L'\0') {
        return;
    }
    platform::Logon::Token l_hToken = platform::Logon::kInvalidToken;
    if (!m_Logon.LogOn(p_strUser, l_pPassword, l_hToken)) {
        throw std::runtime_error("Unable to log on!");
    }
    m_hToken = l_hToken;
}

LogonToken::~LogonToken()
{
    if (IsLoggedOn()) {
        m_Logon.CloseToken(m_hToken);
        m_hToken = platform::Logon::kInvalidToken;
    }
}

Impersonation::Impersonation(const std::wstring& p_strUser, const wchar_t* p_pPassword)
    : m_Logon(platform::Use<platform::Logon>()),
      m_pLogon(std::make_shared<const LogonToken>(p_strUser, p_pPassword))
{
    Impersonate();
}

Impersonation::Impersonation(std::shared_ptr<const LogonToken> p_pLogon)
    : m_Logon(platform::Use<platform::Logon>()), m_pLogon(std::move(p_pLogon))
{
    Impersonate();
}

// When impersonating fails the constructor throws and the logon, if this object made it, is
// closed with m_pLogon.
void Impersonation::Impersonate()
{
    if (!m_pLogon || !m_pLogon->IsLoggedOn()) {
        return;
    }
    if (!m_Logon.Impersonate(m_pLogon->Get())) {
        throw std::runtime_error("Impersonation failed!");
    }
    m_bImpersonating = true;
}

namespace {
thread_local unsigned long t_nRevertError = 0;
}  // namespace

Impersonation::~Impersonation()
{
    if (m_bImpersonating && !m_Logon.RevertToSelf()) {
        const unsigned long l_nError = platform::GetLastErrorCode();
        t_nRevertError = l_nError != 0 ? l_nError : 1;
    }
}

unsigned long Impersonation::RevertFailedOnThisThread()
{
    return t_nRevertError;
}

}  // namespace utils
