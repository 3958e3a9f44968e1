#include "platform/registry_tree.h"

#include <gtest/gtest.h>

#include "standins/memory_registry.h"
#include "standins/reg_file.h"

namespace {

using platform::DeleteRegTree;
using platform::kHkeyCurrentUser;

bool Exists(platform::Registry& registry, const wchar_t* path)
{
    platform::RegKey key = 0;
    if (registry.OpenKey(kHkeyCurrentUser, path, platform::kKeyRead, key) != 0) {
        return false;
    }
    registry.CloseKey(key);
    return true;
}

TEST(RegistryTreeTest, DeletesAKeyWithAllItsSubkeysAndNothingBeside)
{
    platform::MemoryRegistry registry;
    ASSERT_TRUE(platform::ImportRegText(
        registry,
        L"REGEDIT4\n[HKCU\\App\\Old\\A\\A1\\A11]\n\"V\"=dword:1\n[HKCU\\App\\Old\\A\\A2]\n"
        L"[HKCU\\App\\Old\\B]\n[HKCU\\App\\Older]\n"));
    platform::RegKey app = 0;
    ASSERT_EQ(0, registry.OpenKey(kHkeyCurrentUser, L"App", platform::kKeyAllAccess, app));
    EXPECT_EQ(0, DeleteRegTree(registry, app, L"Old"));
    registry.CloseKey(app);
    EXPECT_FALSE(Exists(registry, L"App\\Old"));
    EXPECT_TRUE(Exists(registry, L"App\\Older"));
    EXPECT_EQ(0u, registry.OpenHandleCount());
}

TEST(RegistryTreeTest, ReportsTheFirstFailingCallAndClosesWhatItOpened)
{
    platform::MemoryRegistry registry;
    ASSERT_TRUE(platform::ImportRegText(registry, L"REGEDIT4\n[HKCU\\App\\Kept]\n"));
    EXPECT_EQ(platform::RegStatus(platform::kErrorFileNotFound),
              DeleteRegTree(registry, kHkeyCurrentUser, L"App\\Missing"));
    // A path below the parent works as well as a single name.
    EXPECT_EQ(0, DeleteRegTree(registry, kHkeyCurrentUser, L"App\\Kept"));
    EXPECT_FALSE(Exists(registry, L"App\\Kept"));
    EXPECT_TRUE(Exists(registry, L"App"));
    EXPECT_EQ(0u, registry.OpenHandleCount());
}

}  // namespace
