#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/registry.h"

namespace {

// The predefined roots are pointer constants of the SDK that no constant expression can read, so
// they are pinned here instead of by static_assert.
TEST(RegistryRootsTest, EveryRootHasTheSdkValueAndOneName)
{
    const struct {
        HKEY sdk;
        const wchar_t* name;
    } kSdkRoots[] = {
        {HKEY_CLASSES_ROOT, L"HKEY_CLASSES_ROOT"},
        {HKEY_CURRENT_USER, L"HKEY_CURRENT_USER"},
        {HKEY_LOCAL_MACHINE, L"HKEY_LOCAL_MACHINE"},
        {HKEY_USERS, L"HKEY_USERS"},
        {HKEY_PERFORMANCE_DATA, L"HKEY_PERFORMANCE_DATA"},
        {HKEY_CURRENT_CONFIG, L"HKEY_CURRENT_CONFIG"},
        {HKEY_DYN_DATA, L"HKEY_DYN_DATA"},
    };
    ASSERT_EQ(std::size(kSdkRoots), std::size(platform::kRegRootNames));
    std::set<platform::RegKey> keys;
    for (const auto& sdk : kSdkRoots) {
        const auto value = reinterpret_cast<platform::RegKey>(sdk.sdk);
        const platform::RegRootName* found = nullptr;
        for (const platform::RegRootName& root : platform::kRegRootNames) {
            if (std::wstring(root.name) == sdk.name) {
                found = &root;
            }
        }
        ASSERT_NE(nullptr, found) << std::string(sdk.name, sdk.name + wcslen(sdk.name));
        EXPECT_EQ(value, found->key);
        keys.insert(found->key);
    }
    EXPECT_EQ(std::size(kSdkRoots), keys.size());
}

}  // namespace
