#pragma once

#include <cstdint>
#include <string>

namespace platform {

// Logon and impersonation of a Windows account: LogonUserW (domain ".", so only a local account
// of that name logs on; interactive logon, default provider), ImpersonateLoggedOnUser, RevertToSelf
// and CloseHandle on the token. The posix substitute knows a list of accounts that can log on.
class Logon {
public:
    using Token = std::intptr_t;
    static constexpr Token kInvalidToken = -1;  // INVALID_HANDLE_VALUE

    virtual ~Logon() = default;

    // False on failure, with the reason in GetLastErrorCode(); `token` is then left unchanged.
    // The password is read in place and copied nowhere.
    virtual bool LogOn(const std::wstring& user, const wchar_t* password, Token& token) = 0;
    // Makes the calling thread act as the token's account.
    virtual bool Impersonate(Token token) = 0;
    // Ends the calling thread's impersonation.
    virtual bool RevertToSelf() = 0;
    virtual void CloseToken(Token token) = 0;

    static Logon& System();
};

}  // namespace platform
