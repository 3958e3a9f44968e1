#pragma once

#include <memory>
#include <string>

#include "support/secret_text.h"

class TiXmlDocument;
class TiXmlElement;

namespace cfg {

// The machine's credentials file "%MAINDIR%\Computer.xml" (fallback "c:\Computer.xml"):
// <SysMgmt><Users><AccountName><Password> or <PasswordEncr>. Read once, when constructed. The
// file's text and the document's texts are wiped before their memory is freed: they hold the
// password.
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
    utils::SecretText GetPassword(const std::wstring& p_strUser) const;

private:
    std::wstring m_strPath;
    std::unique_ptr<TiXmlDocument> m_pDocument;
    const TiXmlElement* m_pRoot = nullptr;
    bool m_bLoaded = false;
};

}  // namespace cfg
