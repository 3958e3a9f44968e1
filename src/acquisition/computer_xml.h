#pragma once

#include <memory>
#include <string>

class TiXmlDocument;
class TiXmlElement;

namespace cfg {

// The machine's credentials file "%MAINDIR%\Computer.xml" (fallback "c:\Computer.xml"):
// <SysMgmt><Users><AccountName><Password> or <PasswordEncr>. Read once, when constructed.
class ComputerXml {
public:
    // Never throws for a missing, unreadable or malformed file: it then knows no passwords.
    ComputerXml();
    ~ComputerXml();
    ComputerXml(const ComputerXml&) = delete;
    ComputerXml& operator=(const ComputerXml&) = delete;

    // The plain "Password" of the user (it wins over "PasswordEncr"), else the unscrambled
    // "PasswordEncr", else the empty string; also empty without "Users" or without the user's
    // node. A failure inside the lookup throws err::UnknownException.
    std::wstring GetPassword(const std::wstring& p_strUser) const;

private:
    std::wstring m_strPath;
    std::unique_ptr<TiXmlDocument> m_pDocument;
    const TiXmlElement* m_pRoot = nullptr;
    bool m_bLoaded = false;
};

}  // namespace cfg
