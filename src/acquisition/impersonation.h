#pragma once

#include "platform/logon.h"

#include <memory>
#include <string>

namespace utils {

// A logon of a Windows account; the token is closed with the object. Shared by the
// impersonations of one user of the account, so the account logs on once, not once per use.
class LogonToken {
public:
    // Logs on with the account name and password; with both empty there is no logon and
    // impersonating this object does nothing. The password is needed only for this call and is
    // not kept. Throws std::runtime_error "Unable to log on!".
    LogonToken(const std::wstring& p_strUser, const wchar_t* p_pPassword);
    ~LogonToken();
    LogonToken(const LogonToken&) = delete;
    LogonToken& operator=(const LogonToken&) = delete;

    bool IsLoggedOn() const { return m_hToken != platform::Logon::kInvalidToken; }
    platform::Logon::Token Get() const { return m_hToken; }

private:
    platform::Logon& m_Logon;
    platform::Logon::Token m_hToken = platform::Logon::kInvalidToken;
};

// Makes the calling thread act as a logged-on account from construction to destruction.
class Impersonation {
public:
    // Logs on and impersonates; with both texts empty it does nothing at all. Throws
    // std::runtime_error "Unable to log on!" or "Impersonation failed!".
    Impersonation(const std::wstring& p_strUser, const wchar_t* p_pPassword);
    // Impersonates an existing logon; does nothing for a logon without token. Throws
    // std::runtime_error "Impersonation failed!".
    explicit Impersonation(std::shared_ptr<const LogonToken> p_pLogon);
    // Reverts; when that fails, the thread stays the account: RevertFailedOnThisThread tells.
    virtual ~Impersonation();
    Impersonation(const Impersonation&) = delete;
    Impersonation& operator=(const Impersonation&) = delete;

    // The system's error code when an impersonation of this thread could not be reverted; 0
    // while none failed. Such a thread must write no file and call no COM any more: it acts as the
    // administrator.
    static unsigned long RevertFailedOnThisThread();

private:
    void Impersonate();

    platform::Logon& m_Logon;
    std::shared_ptr<const LogonToken> m_pLogon;
    bool m_bImpersonating = false;
};

}  // namespace utils
