#include "platform/posix/native_path_posix.h"

#include <gtest/gtest.h>

#include "common/temp_folder.h"
#include "platform/message_dialog.h"
#include "platform/profile.h"

namespace {

using platform::posix::NativePath;
using testing_support::TempFolder;

TEST(NativePath, BackslashIsASeparatorAndTheDriveLetterIsDropped)
{
    EXPECT_EQ(NativePath(L"c:\\vexa-no-such\\x.ini"), "/vexa-no-such/x.ini");
    EXPECT_EQ(NativePath(L"D:\\vexa-no-such"), "/vexa-no-such");
    EXPECT_EQ(NativePath(L"bare-vexa-name.ini"), "bare-vexa-name.ini");
    EXPECT_EQ(NativePath(L"sub-vexa-none\\x.ini"), "sub-vexa-none/x.ini");
    EXPECT_EQ(NativePath(L""), "");
}

TEST(NativePath, NamesMatchWithoutCaseLikeWindows)
{
    TempFolder folder;
    const std::string root = platform::posix::ToNative(folder.Path());
    folder.Write(L"Computer.ini", "[S]\r\n");
    EXPECT_EQ(NativePath(folder.Path() + L"\\COMPUTER.INI"), root + "/Computer.ini");
    // A name that exists in no case stays as written.
    EXPECT_EQ(NativePath(folder.Path() + L"\\New.ini"), root + "/New.ini");
    EXPECT_EQ(NativePath(folder.Path() + L"\\MISSING\\COMPUTER.INI"),
              root + "/MISSING/COMPUTER.INI");
}

TEST(NativePath, NativeTextRoundTripsEveryByte)
{
    const std::string bytes = "caf\xc3\xa9 \xff\xfe \xe2\x82";
    EXPECT_EQ(platform::posix::FromNative("caf\xc3\xa9"), L"caf\u00e9");
    EXPECT_EQ(platform::posix::ToNative(platform::posix::FromNative(bytes)), bytes);
}

TEST(NativePath, ProfileTakesWindowsPaths)
{
    TempFolder folder;
    std::wstring windowsPath = L"c:" + folder.Path() + L"\\SETTINGS.INI";
    for (wchar_t& c : windowsPath) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    platform::Profile& profile = platform::Profile::System();
    ASSERT_TRUE(profile.WriteString(L"Timer", L"CycleTime", L"100", windowsPath));
    EXPECT_EQ(folder.Read(L"SETTINGS.INI"), "[Timer]\r\nCycleTime=100\r\n");
    EXPECT_EQ(
        profile.GetInt(L"timer", L"cycletime", 10000, L"C:" + folder.Path() + L"\\settings.ini"),
        100u);
}

TEST(MessageDialog, WritesOneLineToStandardError)
{
    testing::internal::CaptureStderr();
    platform::MessageDialog::System().Show(L"line one\r\nline two \u00e9", L"Vexa");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Vexa: line one  line two \xc3\xa9\n");
}

}  // namespace
