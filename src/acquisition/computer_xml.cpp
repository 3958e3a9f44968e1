#include "acquisition/computer_xml.h"

#include "acquisition/password_decoder.h"
#include "errors/exceptions.h"
#include "logging/log.h"
#include "platform/file_path.h"
#include "platform/text.h"
#include "settings/settings.h"

#include <tinyxml.h>

#include <fstream>
#include <iterator>
#include <string>

namespace cfg {

namespace {

// The file's bytes with line breaks made "\n", as TinyXML's own file loader passes them on.
bool ReadXmlText(const std::wstring& p_strPath, std::string& p_strText)
{
    std::ifstream l_File(platform::FileSystemPath(p_strPath), std::ios::binary);
    if (!l_File) {
        return false;
    }
    const std::string l_strRaw((std::istreambuf_iterator<char>(l_File)),
                               std::istreambuf_iterator<char>());
    if (l_File.bad()) {
        return false;
    }
    p_strText.clear();
    p_strText.reserve(l_strRaw.size());
    for (std::size_t i = 0; i < l_strRaw.size(); ++i) {
        if (l_strRaw[i] == '\r') {
            p_strText.push_back('\n');
            if (i + 1 < l_strRaw.size() && l_strRaw[i + 1] == '\n') {
                ++i;
            }
        } else {
            p_strText.push_back(l_strRaw[i]);
        }
    }
    return true;
}

std::wstring ElementText(const TiXmlElement& p_Element)
{
    const char* l_pText = p_Element.GetText();
    return l_pText != nullptr ? platform::AnsiToWide(l_pText) : std::wstring();
}

}  // namespace

ComputerXml::ComputerXml()
    : m_strPath(GetCredentialsFilePath()), m_pDocument(std::make_unique<TiXmlDocument>())
{
    if (!PathExists(m_strPath)) {
        return;
    }
    // A file that is there but unusable leaves the drives to be read without the administrator,
    // so the log says why.
    const std::wstring l_strLocation = VEXA_LOCATION(L"cfg::ComputerXml::ComputerXml");
    std::string l_strText;
    if (!ReadXmlText(m_strPath, l_strText)) {
        dbg::LogLine(l_strLocation, 0, L"Unable to read " + m_strPath);
        return;
    }
    // A UTF-8 lead byte among the last bytes makes TinyXML step over the terminator by up to
    // three bytes and read on behind the text; zero bytes there stop it at once.
    l_strText.append(3, '\0');
    m_pDocument->Parse(l_strText.c_str(), nullptr, TIXML_ENCODING_UNKNOWN);
    if (m_pDocument->Error()) {
        dbg::LogLine(l_strLocation, 0,
                     m_strPath + L" is not well formed: " +
                         platform::AnsiToWide(m_pDocument->ErrorDesc()) + L" (line " +
                         std::to_wstring(m_pDocument->ErrorRow()) + L")");
        return;
    }
    m_pRoot = m_pDocument->RootElement();
    m_bLoaded = m_pRoot != nullptr && platform::AnsiToWide(m_pRoot->Value()) == L"SysMgmt";
    if (!m_bLoaded) {
        dbg::LogLine(l_strLocation, 0, m_strPath + L" has no root element SysMgmt");
    }
}

ComputerXml::~ComputerXml() = default;

std::wstring ComputerXml::GetPassword(const std::wstring& p_strUser) const
{
    if (!m_bLoaded || m_pRoot == nullptr) {
        return {};
    }
    try {
        const TiXmlElement* l_pUsers = m_pRoot->FirstChildElement("Users");
        if (l_pUsers == nullptr) {
            return {};
        }
        const TiXmlNode* l_pUser = l_pUsers->FirstChild(platform::WideToAnsi(p_strUser).c_str());
        if (l_pUser == nullptr) {
            return {};
        }
        if (const TiXmlElement* l_pPlain = l_pUser->FirstChildElement("Password")) {
            return ElementText(*l_pPlain);
        }
        if (const TiXmlElement* l_pScrambled = l_pUser->FirstChildElement("PasswordEncr")) {
            return PasswordDecoder::Decode(ElementText(*l_pScrambled));
        }
        return {};
    } catch (...) {
        throw err::UnknownException(VEXA_LOCATION(L"cfg::ComputerXml::GetPassword"));
    }
}

}  // namespace cfg
