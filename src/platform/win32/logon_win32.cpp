#include "platform/logon.h"

#include <windows.h>

namespace platform {

namespace {

class Win32Logon final : public Logon {
public:
    bool LogOn(const std::wstring& user, const wchar_t* password, Token& token) override
    {
        HANDLE l_hToken = nullptr;
        // "." confines the name to the machine's own accounts: without a domain a domain account
        // of that name could log on.
        if (!LogonUserW(user.c_str(), L".", password, LOGON32_LOGON_INTERACTIVE,
                        LOGON32_PROVIDER_DEFAULT, &l_hToken)) {
            return false;
        }
        token = reinterpret_cast<Token>(l_hToken);
        return true;
    }

    bool Impersonate(Token token) override
    {
        return ImpersonateLoggedOnUser(reinterpret_cast<HANDLE>(token)) != FALSE;
    }

    bool RevertToSelf() override { return ::RevertToSelf() != FALSE; }

    void CloseToken(Token token) override
    {
        if (token != kInvalidToken && token != 0) {
            CloseHandle(reinterpret_cast<HANDLE>(token));
        }
    }
};

}  // namespace

Logon& Logon::System()
{
    static Win32Logon s_Logon;
    return s_Logon;
}

}  // namespace platform
