#include <gtest/gtest.h>

#include "common/temp_folder.h"
#include "settings/settings.h"

namespace {

using testing_support::ScopedEnvironmentVariable;
using testing_support::TempFolder;

TEST(IniReads, ComputerIniNamedByTheVariableIsRead)
{
    TempFolder folder;
    folder.Write(L"Computer.ini",
                 "[cd1_setup]\r\nVEXA=SpeedFan\r\n[Hdd]\r\nmaxlifetimeyears=40000\r\n");
    const ScopedEnvironmentVariable variable(L"COMPUTER_INI", folder.Path(L"Computer.ini"));
    EXPECT_EQ(ReadIniString(L"CD1_Setup", L"Vexa", GetComputerIniPath()), L"SpeedFan");
    EXPECT_EQ(ReadIniInt(L"HDD", L"MaxLifetimeYears", 45000, GetComputerIniPath()), 40000u);
}

TEST(IniReads, TextIsCutTo259Characters)
{
    TempFolder folder;
    folder.Write(L"InstallSP.ini", "[Servicepack]\r\nVersion=" + std::string(300, '7') + "\r\n");
    EXPECT_EQ(ReadIniString(L"Servicepack", L"Version", folder.Path(L"InstallSP.ini")),
              std::wstring(259, L'7'));
    EXPECT_EQ(ReadIniString(L"Servicepack", L"Missing", folder.Path(L"InstallSP.ini")), L"");
    EXPECT_EQ(ReadIniString(L"Servicepack", L"Version", folder.Path(L"none.ini")), L"");
}

TEST(IniReads, IntegerTakesTheLeadingNumberAndNonNumbersReadAsZero)
{
    TempFolder folder;
    folder.Write(L"Vexa.ini", "[Tolerance]\r\nWarning=12abc\r\nError=abc\r\n");
    EXPECT_EQ(ReadIniInt(L"Tolerance", L"Warning", 10, folder.Path(L"Vexa.ini")), 12u);
    EXPECT_EQ(ReadIniInt(L"Tolerance", L"Error", 45000, folder.Path(L"Vexa.ini")), 0u);
    EXPECT_EQ(ReadIniInt(L"Timer", L"Duration", 60, folder.Path(L"Vexa.ini")), 60u);
}

}  // namespace
