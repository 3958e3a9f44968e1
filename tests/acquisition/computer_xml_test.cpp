#include "acquisition/computer_xml.h"

#include <gtest/gtest.h>

#include <string>

#include "acquisition/password_decoder.h"
#include "common/temp_folder.h"
#include "fakes/log_capture.h"
#include "fakes/memory_environment.h"
#include "platform/seam.h"

namespace cfg {
namespace {

class ComputerXmlTest : public testing::Test {
protected:
    void Write(const std::string& p_strText) { m_Folder.Write(L"Computer.xml", p_strText); }

    // GetPassword of a file whose user node holds `p_strUserContent`.
    std::wstring PasswordWith(const std::string& p_strUserContent)
    {
        Write("<SysMgmt><Users><TarselAdmin>" + p_strUserContent +
              "</TarselAdmin></Users></SysMgmt>");
        const utils::SecretText l_Password = ComputerXml().GetPassword(L"TarselAdmin");
        return std::wstring(l_Password.c_str(), l_Password.size());
    }

    testing_support::TempFolder m_Folder;
    // MAINDIR names the test's folder; every other variable is unset.
    fakes::MemoryEnvironment m_Environment{{{L"MAINDIR", m_Folder.Path()}}};
    platform::Substitute<platform::Environment> m_Substitute{m_Environment};
};

TEST_F(ComputerXmlTest, ReadsThePlainPasswordOfTheUser)
{
    Write(
        "<?xml version=\"1.0\"?>\r\n"
        "<SysMgmt>\r\n"
        "  <Machine>X</Machine>\r\n"
        "  <Users>\r\n"
        "    <Operator><Password>op</Password></Operator>\r\n"
        "    <TarselAdmin>\r\n"
        "      <Password>s3cret &amp; more</Password>\r\n"
        "    </TarselAdmin>\r\n"
        "  </Users>\r\n"
        "</SysMgmt>\r\n");
    ComputerXml l_Xml;
    EXPECT_EQ(l_Xml.GetPassword(L"TarselAdmin"), L"s3cret & more");
    EXPECT_EQ(l_Xml.GetPassword(L"Operator"), L"op");
    EXPECT_EQ(l_Xml.GetPassword(L"tarseladmin"), L"");  // names are matched exactly
    EXPECT_EQ(l_Xml.GetPassword(L"Nobody"), L"");
}

TEST_F(ComputerXmlTest, ThePlainPasswordWinsOverTheScrambledOne)
{
    const std::string l_strScrambled = "168A1A2";  // "A$"
    EXPECT_EQ(PasswordWith("<PasswordEncr>" + l_strScrambled + "</PasswordEncr>"), L"A$");
    EXPECT_EQ(PasswordWith("<PasswordEncr>" + l_strScrambled +
                           "</PasswordEncr><Password>plain</Password>"),
              L"plain");
    EXPECT_EQ(PasswordWith("<Password/><PasswordEncr>" + l_strScrambled + "</PasswordEncr>"), L"");
}

TEST_F(ComputerXmlTest, ScrambledTextOutsideTheRulesGivesNoPassword)
{
    EXPECT_EQ(PasswordWith("<PasswordEncr>168D2</PasswordEncr>"), L"");
    EXPECT_EQ(PasswordWith("<PasswordEncr>16820</PasswordEncr>"), L"");
    EXPECT_EQ(PasswordWith("<PasswordEncr>1683</PasswordEncr>"), L"");
    EXPECT_EQ(PasswordWith("<PasswordEncr></PasswordEncr>"), L"");
    EXPECT_EQ(PasswordWith("<Other>x</Other>"), L"");
    EXPECT_EQ(PasswordWith(""), L"");
}

TEST_F(ComputerXmlTest, ScrambledPasswordsBeyondAsciiComeBack)
{
    const std::wstring l_strPassword = L"p\u00E4ss\u20AC\u4E2D";
    const auto l_strScrambled = PasswordDecoder::Scramble(l_strPassword);
    ASSERT_TRUE(l_strScrambled.has_value());
    EXPECT_EQ(PasswordWith("<PasswordEncr>" +
                           std::string(l_strScrambled->begin(), l_strScrambled->end()) +
                           "</PasswordEncr>"),
              l_strPassword);
}

TEST_F(ComputerXmlTest, AFileThatIsNotTheCredentialsFileKnowsNoPasswords)
{
    const std::string l_strUsers =
        "<Users><TarselAdmin><Password>pw</Password></TarselAdmin></Users>";
    EXPECT_EQ(ComputerXml().GetPassword(L"TarselAdmin"), L"");  // no file
    Write("<sysmgmt>" + l_strUsers + "</sysmgmt>");
    EXPECT_EQ(ComputerXml().GetPassword(L"TarselAdmin"), L"");
    Write("<SysMgmt>" + l_strUsers);  // not well-formed
    EXPECT_EQ(ComputerXml().GetPassword(L"TarselAdmin"), L"");
    Write("");
    EXPECT_EQ(ComputerXml().GetPassword(L"TarselAdmin"), L"");
    Write("<SysMgmt><Machine/></SysMgmt>");  // no Users
    EXPECT_EQ(ComputerXml().GetPassword(L"TarselAdmin"), L"");
    Write("<SysMgmt>" + l_strUsers + "</SysMgmt>");
    EXPECT_EQ(ComputerXml().GetPassword(L"TarselAdmin"), L"pw");
}

TEST_F(ComputerXmlTest, AFileThatIsThereButUnusableIsNamedInTheLog)
{
    fakes::LogCapture l_Log(0);
    ComputerXml();  // no file: nothing to report
    EXPECT_EQ(l_Log.Contents().find("Computer.xml"), std::string::npos);

    Write("<SysMgmt><Users><TarselAdmin><Password>pw</Users></SysMgmt>");
    ComputerXml();
    Write("<sysmgmt/>");
    ComputerXml();
    const std::string l_strLog = l_Log.Contents();
    EXPECT_NE(l_strLog.find("cfg::ComputerXml::ComputerXml  line: "), std::string::npos)
        << l_strLog;
    EXPECT_NE(l_strLog.find("\\Computer.xml is not well formed: "), std::string::npos) << l_strLog;
    EXPECT_NE(l_strLog.find("\\Computer.xml has no root element SysMgmt\r\n"), std::string::npos)
        << l_strLog;
}

TEST_F(ComputerXmlTest, AFileEndingInsideAMultiByteCharacterKnowsNoPasswords)
{
    // The parser must stop at the end of the text, not read on behind it.
    for (const char* l_szEnd : {"\xD0", "\xE2\x82", "\xF0", "d\xF0\x9F\x98"}) {
        Write(std::string("<?xml version=\"1.0\"?><SysMgmt><Users><TarselAdmin><Password>pw") +
              l_szEnd);
        EXPECT_EQ(ComputerXml().GetPassword(L"TarselAdmin"), L"") << l_szEnd;
    }
}

TEST_F(ComputerXmlTest, ReadsEightBitTextInTheAnsiCodePage)
{
    EXPECT_EQ(PasswordWith("<Password>gr\xFC\xDF</Password>"), L"gr\u00FC\u00DF");
}

}  // namespace
}  // namespace cfg
