#include "settings/install_rights.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/count_of.h"
#include "common/temp_folder.h"
#include "fakes/fake_file_system.h"
#include "fakes/log_capture.h"
#include "platform/seam.h"
#include "platform/text.h"
#include "settings/settings.h"

namespace {

// Each part of the installation that every user could change (the module's folder, the settings
// file) or read (the credentials file) is named once at level 0; the rest is not mentioned.
TEST(InstallRights, WhatAllUsersCouldChangeOrReadIsNamed)
{
    const struct {
        const char* label;
        mode_t folder;
        mode_t settings;
        mode_t credentials;
        bool folderNamed;
        bool settingsNamed;
        bool credentialsNamed;
    } cases[] = {
        {"closed", 0755, 0644, 0600, false, false, false},
        {"folder", 0777, 0644, 0600, true, false, false},
        {"sticky folder", 01777, 0644, 0600, true, false, false},
        {"settings", 0755, 0666, 0600, false, true, false},
        {"credentials readable", 0755, 0644, 0644, false, false, true},
        {"all", 0757, 0646, 0604, true, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const testing_support::TempFolder folder;
        const std::wstring bin = folder.Path(L"bin");
        std::filesystem::create_directory(std::filesystem::path(bin));
        folder.Write(L"bin/VW_Vexa.ini", "[Timer]\n");
        folder.Write(L"Computer.xml", "<SysMgmt/>\n");
        ::chmod(platform::WideToAnsi(bin).c_str(), c.folder);
        ::chmod(platform::WideToAnsi(folder.Path(L"bin/VW_Vexa.ini")).c_str(), c.settings);
        ::chmod(platform::WideToAnsi(folder.Path(L"Computer.xml")).c_str(), c.credentials);

        fakes::FakeFileSystem files;
        files.m_strModulePath = bin + L"/VW_Vexa.dll";
        const platform::Substitute<platform::FileSystem> inPlace(files);
        ASSERT_TRUE(UseModuleIniPath(folder.Path(L"bin/VW_Vexa.ini")));
        const testing_support::ScopedEnvironmentVariable mainDir(L"MAINDIR", folder.Path());
        const fakes::LogCapture log(0);
        WarnOfOpenInstall();
        UseModuleIniPath(L"");

        const std::string text = log.Contents();
        const auto named = [&text](const std::string& what, const std::wstring& path) {
            return text.find("\t\t" + what + " by all users: " + platform::WideToAnsi(path) +
                             "\r\n") != std::string::npos;
        };
        EXPECT_EQ(named("writable", bin), c.folderNamed) << text;
        EXPECT_EQ(named("writable", folder.Path(L"bin/VW_Vexa.ini")), c.settingsNamed) << text;
        EXPECT_EQ(named("readable", folder.Path() + L"\\Computer.xml"), c.credentialsNamed) << text;
        EXPECT_EQ(testing_support::CountOf(text, "all users: "),
                  static_cast<std::size_t>(c.folderNamed + c.settingsNamed + c.credentialsNamed));
    }
}

}  // namespace
