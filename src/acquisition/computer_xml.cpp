#include "acquisition/computer_xml.h"

#include "acquisition/password_decoder.h"
#include "errors/exceptions.h"
#include "logging/log.h"
#include "platform/seam.h"
#include "platform/shared_file.h"
#include "platform/wipe.h"
#include "platform/text.h"
#include "settings/settings.h"

#include <tinyxml.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace cfg {

namespace {

// Far more than any credentials file holds; a larger file is not read.
constexpr std::uint64_t kMaxFileBytes = 16u << 20;

// The file's bytes with line breaks made "\n", as TinyXML's own file loader passes them on. Read
// straight into memory that is wiped when freed: no stream buffer keeps a copy.
bool ReadXmlText(const std::wstring& p_strPath, utils::SecretBytes& p_Text)
{
    const std::unique_ptr<platform::ReadableFile> l_pFile =
        platform::Use<platform::SharedFile>().OpenForReading(p_strPath);
    if (!l_pFile) {
        return false;
    }
    const std::uint64_t l_nSize = l_pFile->Size();
    if (l_nSize > kMaxFileBytes) {
        return false;
    }
    utils::SecretBytes l_Raw;
    l_Raw.Get().resize(static_cast<std::size_t>(l_nSize));
    l_Raw.Get().resize(l_pFile->ReadAt(0, &l_Raw.Get()[0], l_Raw.size()));
    const auto& l_strRaw = l_Raw.Get();
    auto& l_strText = p_Text.Get();
    l_strText.clear();
    // The zeros that end the text for the parser (below) fit in too.
    l_strText.reserve(l_strRaw.size() + 3);
    for (std::size_t i = 0; i < l_strRaw.size(); ++i) {
        if (l_strRaw[i] == '\r') {
            l_strText.push_back('\n');
            if (i + 1 < l_strRaw.size() && l_strRaw[i + 1] == '\n') {
                ++i;
            }
        } else {
            l_strText.push_back(l_strRaw[i]);
        }
    }
    return true;
}

utils::SecretText ElementText(const TiXmlElement& p_Element)
{
    utils::SecretText l_Text;
    const char* l_pText = p_Element.GetText();
    if (l_pText != nullptr) {
        const std::size_t l_nBytes = std::strlen(l_pText);
        l_Text.Get().resize(l_nBytes);
        l_Text.Get().resize(platform::AnsiToWide(l_pText, l_nBytes, &l_Text.Get()[0]));
    }
    return l_Text;
}

// Overwrites the value of every node below `p_pNode` (element names, texts, comments) and every
// attribute's value, before TinyXML frees them.
void WipeTree(TiXmlNode* p_pNode)
{
    for (TiXmlNode* l_pChild = p_pNode->FirstChild(); l_pChild != nullptr;
         l_pChild = l_pChild->NextSibling()) {
        WipeTree(l_pChild);
    }
    auto& l_strValue = const_cast<std::string&>(p_pNode->ValueTStr());
    platform::WipeMemory(&l_strValue[0], l_strValue.capacity());
    if (TiXmlElement* l_pElement = p_pNode->ToElement()) {
        for (TiXmlAttribute* l_pAttribute = l_pElement->FirstAttribute(); l_pAttribute != nullptr;
             l_pAttribute = l_pAttribute->Next()) {
            auto& l_strAttribute = const_cast<std::string&>(l_pAttribute->ValueStr());
            platform::WipeMemory(&l_strAttribute[0], l_strAttribute.capacity());
        }
    }
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
    utils::SecretBytes l_Text;
    if (!ReadXmlText(m_strPath, l_Text)) {
        dbg::LogLine(l_strLocation, 0, L"Unable to read " + m_strPath);
        return;
    }
    // A UTF-8 lead byte among the last bytes makes TinyXML step over the terminator by up to
    // three bytes and read on behind the text; zero bytes there stop it at once.
    l_Text.Get().append(3, '\0');
    m_pDocument->Parse(l_Text.c_str(), nullptr, TIXML_ENCODING_UNKNOWN);
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

ComputerXml::~ComputerXml()
{
    WipeTree(m_pDocument.get());
}

utils::SecretText ComputerXml::GetPassword(const std::wstring& p_strUser) const
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
            const utils::SecretText l_Scrambled = ElementText(*l_pScrambled);
            return PasswordDecoder::Decode(l_Scrambled.c_str(), l_Scrambled.size());
        }
        return {};
    } catch (...) {
        throw err::UnknownException(VEXA_LOCATION(L"cfg::ComputerXml::GetPassword"));
    }
}

}  // namespace cfg
