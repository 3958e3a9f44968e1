#pragma once

#include "platform/logon.h"

#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace platform {

// The posix substitute for logon and impersonation: a list of accounts that can log on. Names are
// matched without case, as Windows account names are; passwords exactly. Impersonation records
// the account for the calling thread alone.
class AccountList final : public Logon {
public:
    // Reads "name:password" lines (8-bit text, split at the first colon); lines without a colon
    // are skipped. False when the file cannot be read.
    bool LoadFile(const std::string& nativePath);
    void Add(const std::wstring& user, const std::wstring& password);

    bool LogOn(const std::wstring& user, const wchar_t* password, Token& token) override;
    bool Impersonate(Token token) override;
    bool RevertToSelf() override;
    void CloseToken(Token token) override;

    // The account the calling thread acts as; empty when it acts as itself.
    static std::wstring CurrentAccount();

private:
    std::mutex m_Mutex;
    std::vector<std::pair<std::wstring, std::wstring>> m_Accounts;
    std::map<Token, std::wstring> m_Tokens;
    Token m_nNextToken = 0x100;
};

}  // namespace platform
