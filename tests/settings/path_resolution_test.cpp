#include <gtest/gtest.h>

#include "common/temp_folder.h"
#include "fakes/fake_file_system.h"
#include "platform/file_system.h"
#include "platform/seam.h"
#include "settings/module_ini_path.h"
#include "settings/settings.h"

namespace {

using testing_support::ScopedEnvironmentVariable;
using testing_support::TempFolder;

TEST(ResolvePath, ReplacesTheVariableMatchedWithoutCase)
{
    const ScopedEnvironmentVariable temp(L"VEXA_TEST_TEMP", L"C:\\Users\\x\\Temp");
    EXPECT_EQ(ResolvePath(L"%vexa_test_temp%\\VexaValues.ini", L"c:\\temp\\VexaValues.ini"),
              L"C:\\Users\\x\\Temp\\VexaValues.ini");
}

TEST(ResolvePath, UnsetVariableGivesTheFallbackAndEmptyValueResolves)
{
    const ScopedEnvironmentVariable unset(L"VEXA_TEST_UNSET", nullptr);
    EXPECT_EQ(ResolvePath(L"%VEXA_TEST_UNSET%\\InstallSP.ini", L"c:\\Servicepacks\\InstallSP.ini"),
              L"c:\\Servicepacks\\InstallSP.ini");
    const ScopedEnvironmentVariable empty(L"VEXA_TEST_EMPTY", L"");
    EXPECT_EQ(ResolvePath(L"%VEXA_TEST_EMPTY%\\InstallSP.ini", L"fallback"), L"\\InstallSP.ini");
}

TEST(ResolvePath, PathWithoutAPairOfPercentSignsIsUnchanged)
{
    EXPECT_EQ(ResolvePath(L"c:\\50%\\a.ini", L"fallback"), L"c:\\50%\\a.ini");
    EXPECT_EQ(ResolvePath(L"c:\\plain\\a.ini", L"fallback"), L"c:\\plain\\a.ini");
    EXPECT_EQ(ResolvePath(L"", L"fallback"), L"");
}

TEST(ResolvePath, OnlyTheFirstVariableIsResolvedButEveryOccurrenceOfIt)
{
    const ScopedEnvironmentVariable a(L"VEXA_TEST_A", L"alpha");
    const ScopedEnvironmentVariable b(L"VEXA_TEST_B", L"beta");
    EXPECT_EQ(ResolvePath(L"%VEXA_TEST_A%\\%VEXA_TEST_B%\\x.ini", L"fallback"),
              L"alpha\\%VEXA_TEST_B%\\x.ini");
    EXPECT_EQ(ResolvePath(L"%VEXA_TEST_A%\\%VEXA_TEST_A%.ini", L"fallback"), L"alpha\\alpha.ini");
    // The token is replaced as written; the value is not resolved again.
    EXPECT_EQ(ResolvePath(L"%VEXA_TEST_A%\\%vexa_test_a%", L"fallback"), L"alpha\\%vexa_test_a%");
    const ScopedEnvironmentVariable self(L"VEXA_TEST_SELF", L"%VEXA_TEST_SELF%");
    EXPECT_EQ(ResolvePath(L"%VEXA_TEST_SELF%\\%VEXA_TEST_SELF%", L"fallback"),
              L"%VEXA_TEST_SELF%\\%VEXA_TEST_SELF%");
}

TEST(GetComputerIniPath, FollowsTheVariableOrFallsBack)
{
    {
        const ScopedEnvironmentVariable set(L"COMPUTER_INI", L"d:\\cfg\\Computer.ini");
        EXPECT_EQ(GetComputerIniPath(), L"d:\\cfg\\Computer.ini");
    }
    {
        const ScopedEnvironmentVariable unset(L"COMPUTER_INI", nullptr);
        EXPECT_EQ(GetComputerIniPath(), L"c:\\Computer.ini");
    }
    {
        const ScopedEnvironmentVariable empty(L"COMPUTER_INI", L"");
        EXPECT_EQ(GetComputerIniPath(), L"");
        EXPECT_EQ(ReadIniInt(L"HDD", L"MaxLifetimeYears", 45000, GetComputerIniPath()), 45000u);
        EXPECT_EQ(ReadIniString(L"CD1_Setup", L"Vexa", GetComputerIniPath()), L"");
    }
}

TEST(ModuleIniPath, UpperCasesAndReplacesEveryExtension)
{
    EXPECT_EQ(ModuleIniPathOf(L"c:\\hmi\\bin\\Vexa.dll"), L"C:\\HMI\\BIN\\VEXA.INI");
    EXPECT_EQ(ModuleIniPathOf(L"c:\\my.dll.files\\Vexa.dll"), L"C:\\MY.INI.FILES\\VEXA.INI");
    EXPECT_EQ(ModuleIniPathOf(L"c:\\tools\\vexa-host.exe"), L"C:\\TOOLS\\VEXA-HOST.INI");
    EXPECT_EQ(ModuleIniPathOf(L"/opt/vexa/vexa-host"), L"/OPT/VEXA/VEXA-HOST");
}

TEST(ModuleIniPath, IsKeptAfterTheFirstCall)
{
    const std::wstring first = GetModuleIniPath();
    EXPECT_EQ(first, ModuleIniPathOf(platform::FileSystem::System().ModulePath(260)));
    EXPECT_FALSE(first.empty());
    fakes::FakeFileSystem fileSystem;
    fileSystem.m_strModulePath = L"c:\\elsewhere\\Other.dll";
    const platform::Substitute<platform::FileSystem> substitute(fileSystem);
    EXPECT_EQ(GetModuleIniPath(), first);
}

TEST(ModuleIniPath, AHostsChoiceIsUsedAsGivenUntilWithdrawn)
{
    const std::wstring derived = GetModuleIniPath();
    UseModuleIniPath(L"/srv/Settings.dll.d/vexa-host.exe.ini");
    EXPECT_EQ(GetModuleIniPath(), L"/srv/Settings.dll.d/vexa-host.exe.ini");
    UseModuleIniPath(L"");
    EXPECT_EQ(GetModuleIniPath(), derived);
}

TEST(NumberedName, NumberZeroIsTheBareName)
{
    EXPECT_EQ(NumberedName(L"Fan", 0), L"Fan");
    EXPECT_EQ(NumberedName(L"Fan", 1), L"Fan1");
    EXPECT_EQ(NumberedName(L"Fan", 2), L"Fan2");
    EXPECT_EQ(NumberedName(L"Fan", 12), L"Fan12");
}

TEST(PathExists, FindsFilesAndFoldersQuotedOrWithTrailingBackslash)
{
    TempFolder folder;
    folder.Write(L"Computer.xml", "<x/>");
    EXPECT_TRUE(PathExists(folder.Path(L"Computer.xml")));
    EXPECT_TRUE(PathExists(L"\"" + folder.Path(L"Computer.xml") + L"\""));
    EXPECT_TRUE(PathExists(L"  " + folder.Path(L"Computer.xml")));
    EXPECT_TRUE(PathExists(folder.Path()));
    EXPECT_TRUE(PathExists(folder.Path() + L"\\"));
    EXPECT_FALSE(PathExists(folder.Path(L"missing.xml")));
    EXPECT_FALSE(PathExists(L""));
    EXPECT_FALSE(PathExists(L"\"\""));
}

TEST(PathExists, RootOfAReadyDrive)
{
    EXPECT_TRUE(PathExists(L"c:\\"));
    EXPECT_TRUE(PathExists(L"\"c:\\\""));
}

TEST(PathExists, AsksTheDriveForRootsAndTheFileSearchOtherwise)
{
    fakes::FakeFileSystem fileSystem;
    fileSystem.m_readyRoots = {L"d:\\", L"\\\\server\\share\\"};
    fileSystem.m_entries = {L"e:", L"\\\\other\\share", L"c:\\dir"};
    const platform::Substitute<platform::FileSystem> substitute(fileSystem);
    EXPECT_TRUE(PathExists(L"d:\\"));
    EXPECT_TRUE(PathExists(L"\\\\server\\share\\"));
    EXPECT_FALSE(PathExists(L"f:\\"));
    // A root the drive does not report ready is looked for as a name without its backslash.
    EXPECT_TRUE(PathExists(L"e:\\"));
    EXPECT_TRUE(PathExists(L"\\\\other\\share\\"));
    EXPECT_TRUE(PathExists(L"c:\\dir\\"));
    EXPECT_FALSE(PathExists(L"c:\\dir\\\\"));
}

}  // namespace
