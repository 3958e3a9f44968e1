// vexa-scramble: writes the "PasswordEncr" text of a password for Computer.xml, so the
// administrator password need not be stored in plain text.

#include "acquisition/password_decoder.h"
#include "platform/text.h"

#include <cstdio>
#include <iostream>
#include <optional>
#include <string>

namespace {

const char* const kUsage =
    "Usage: vexa-scramble PASSWORD\n"
    "       vexa-scramble -          (reads the password from the first line of standard input)\n"
    "       vexa-scramble --help\n"
    "\n"
    "Prints the scrambled form of PASSWORD for the <PasswordEncr> element of Computer.xml:\n"
    "  "
    "<SysMgmt><Users><TarselAdmin><PasswordEncr>TEXT</PasswordEncr></TarselAdmin></Users></"
    "SysMgmt>\n"
    "Scrambling hides the password from casual readers; it is not encryption. Protect the file.\n"
    "Reading from standard input keeps the password out of the shell history; that input is "
    "UTF-8.\n"
    "\n"
    "A password has 1 to 51 characters (UTF-16 code units). A few very large first characters\n"
    "(U+26A9 and above) cannot be scrambled. A password that begins with \"-\" is given on\n"
    "standard input.\n"
    "Exit status: 0 printed, 1 bad usage, 2 the password cannot be scrambled.\n";

// The longest password: the scrambling key has this many characters.
constexpr std::size_t kMaxPasswordLength = 51;

std::optional<std::wstring> PasswordFromStandardInput()
{
    std::string l_strLine;
    std::getline(std::cin, l_strLine);
    if (!l_strLine.empty() && l_strLine.back() == '\r') {
        l_strLine.pop_back();
    }
    return platform::Utf8ToUtf16(l_strLine);
}

// Why the scrambler refused a password: its length, or else its first character.
std::string WhyNot(const std::wstring& p_strPassword)
{
    if (p_strPassword.empty()) {
        return "it is empty (a password has 1 to 51 characters)";
    }
    if (p_strPassword.size() > kMaxPasswordLength) {
        return "it has " + std::to_string(p_strPassword.size()) +
               " characters (at most 51 can be scrambled)";
    }
    char l_szCode[16];
    std::snprintf(l_szCode, sizeof l_szCode, "U+%04X", static_cast<unsigned>(p_strPassword[0]));
    return std::string("its first character ") + l_szCode +
           " is too large (U+26A9 and above cannot be scrambled)";
}

// One line for a command line that is not one password, "-" or --help.
int UsageError(const std::string& p_strError)
{
    std::cerr << "vexa-scramble: " << p_strError << "; see --help\n";
    return 1;
}

int Run(const std::optional<std::wstring>& p_strPassword, bool p_bFromArgument)
{
    if (!p_strPassword) {
        std::cerr << "vexa-scramble: the password is not valid "
                  << (p_bFromArgument ? "text" : "UTF-8") << "\n";
        return 1;
    }
    const std::optional<std::wstring> l_strText = cfg::PasswordDecoder::Scramble(*p_strPassword);
    if (!l_strText) {
        std::cerr << "vexa-scramble: this password cannot be scrambled: " << WhyNot(*p_strPassword)
                  << "\n";
        return 2;
    }
    // The text holds only digits and the letters A, B, C.
    std::cout << std::string(l_strText->begin(), l_strText->end()) << "\n";
    return 0;
}

int Usage()
{
    std::cout << kUsage;
    return 0;
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) {
        return UsageError(argc < 2 ? "no password given" : "give one password");
    }
    const std::wstring l_strArgument = argv[1];
    if (l_strArgument == L"--help" || l_strArgument == L"-h") {
        return Usage();
    }
    if (l_strArgument == L"-") {
        return Run(PasswordFromStandardInput(), false);
    }
    if (l_strArgument.size() > 1 && l_strArgument[0] == L'-') {
        std::string l_strOption;
        for (const wchar_t c : l_strArgument) {
            l_strOption.push_back(c < 0x80 ? static_cast<char>(c) : '?');
        }
        return UsageError("unknown option " + l_strOption);
    }
    return Run(l_strArgument, true);
}
#else
int main(int argc, char** argv)
{
    if (argc != 2) {
        return UsageError(argc < 2 ? "no password given" : "give one password");
    }
    const std::string l_strArgument = argv[1];
    if (l_strArgument == "--help" || l_strArgument == "-h") {
        return Usage();
    }
    if (l_strArgument == "-") {
        return Run(PasswordFromStandardInput(), false);
    }
    // A mistyped option must not be scrambled as a password.
    if (l_strArgument.size() > 1 && l_strArgument[0] == '-') {
        return UsageError("unknown option " + l_strArgument);
    }
    return Run(platform::Utf8ToUtf16(l_strArgument), true);
}
#endif
