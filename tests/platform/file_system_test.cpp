#include "platform/file_system.h"

#include <gtest/gtest.h>

#include "common/temp_folder.h"

namespace {

using testing_support::TempFolder;

TEST(FileSystem, ModulePathNamesAnExistingFile)
{
    platform::FileSystem& fileSystem = platform::FileSystem::System();
    const std::wstring path = fileSystem.ModulePath(260);
    ASSERT_FALSE(path.empty());
    EXPECT_TRUE(fileSystem.FindEntry(path));
    EXPECT_EQ(fileSystem.ModulePath(5), path.substr(0, 5));
}

TEST(FileSystem, FindEntryFindsFilesAndFolders)
{
    TempFolder folder;
    folder.Write(L"x.ini", "[S]\r\n");
    platform::FileSystem& fileSystem = platform::FileSystem::System();
    EXPECT_TRUE(fileSystem.FindEntry(folder.Path(L"x.ini")));
    EXPECT_TRUE(fileSystem.FindEntry(folder.Path()));
    EXPECT_FALSE(fileSystem.FindEntry(folder.Path(L"missing.ini")));
    EXPECT_FALSE(fileSystem.FindEntry(L""));
}

TEST(FileSystem, DriveReadyForTheRootOfAReadyDrive)
{
    platform::FileSystem& fileSystem = platform::FileSystem::System();
    EXPECT_TRUE(fileSystem.DriveReady(L"c:\\"));
    EXPECT_TRUE(fileSystem.DriveReady(L"C:\\"));
    EXPECT_FALSE(fileSystem.DriveReady(L"\\\\no-such-server\\no-such-share\\"));
}

}  // namespace
