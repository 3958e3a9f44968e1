// The credentials file: "user\0" and the bytes of Computer.xml in, the user's password looked up
// (plain or unscrambled).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "acquisition/computer_xml.h"
#include "errors/exceptions.h"
#include "fuzz_support.h"
#include "platform/text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const fuzz::ScratchFile s_file("Computer.xml");
    static const bool s_bFolderSet = [] {
        const std::string& path = s_file.Path();
        return setenv("MAINDIR", path.substr(0, path.rfind('/')).c_str(), 1) == 0;
    }();
    fuzz::Check(s_bFolderSet, "MAINDIR is set");

    std::string input(reinterpret_cast<const char*>(data), size);
    const std::wstring user = platform::AnsiToWide(fuzz::NextField(input));
    s_file.Write(input);

    const cfg::ComputerXml credentials;
    try {
        credentials.GetPassword(user);
        credentials.GetPassword(L"Administrator");
    } catch (const err::UnknownException&) {
        // The documented way a lookup fails.
    }
    return 0;
}
