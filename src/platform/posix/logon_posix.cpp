#include "platform/last_error.h"
#include "platform/posix/account_list.h"
#include "platform/text.h"

#include <fstream>

namespace platform {

namespace {

thread_local std::wstring t_strCurrentAccount;

}  // namespace

bool AccountList::LoadFile(const std::string& nativePath)
{
    std::ifstream l_File(nativePath, std::ios::binary);
    if (!l_File) {
        return false;
    }
    std::string l_strLine;
    while (std::getline(l_File, l_strLine)) {
        if (!l_strLine.empty() && l_strLine.back() == '\r') {
            l_strLine.pop_back();
        }
        const auto l_nColon = l_strLine.find(':');
        if (l_nColon == std::string::npos) {
            continue;
        }
        Add(AnsiToWide(l_strLine.substr(0, l_nColon)), AnsiToWide(l_strLine.substr(l_nColon + 1)));
    }
    return true;
}

void AccountList::Add(const std::wstring& user, const std::wstring& password)
{
    std::lock_guard<std::mutex> l_Lock(m_Mutex);
    m_Accounts.emplace_back(user, password);
}

bool AccountList::LogOn(const std::wstring& user, const wchar_t* password, Token& token)
{
    std::lock_guard<std::mutex> l_Lock(m_Mutex);
    for (const auto& [l_strName, l_strPassword] : m_Accounts) {
        if (EqualNoCase(l_strName, user) && l_strPassword == password) {
            token = m_nNextToken++;
            m_Tokens.emplace(token, l_strName);
            return true;
        }
    }
    SetLastErrorCode(kErrorLogonFailure);
    return false;
}

bool AccountList::Impersonate(Token token)
{
    std::lock_guard<std::mutex> l_Lock(m_Mutex);
    const auto l_It = m_Tokens.find(token);
    if (l_It == m_Tokens.end()) {
        SetLastErrorCode(kErrorInvalidHandle);
        return false;
    }
    t_strCurrentAccount = l_It->second;
    return true;
}

bool AccountList::RevertToSelf()
{
    t_strCurrentAccount.clear();
    return true;
}

void AccountList::CloseToken(Token token)
{
    std::lock_guard<std::mutex> l_Lock(m_Mutex);
    m_Tokens.erase(token);
}

std::wstring AccountList::CurrentAccount()
{
    return t_strCurrentAccount;
}

// Without a list of accounts no logon succeeds; the host installs its own list.
Logon& Logon::System()
{
    static AccountList s_Accounts;
    return s_Accounts;
}

}  // namespace platform
