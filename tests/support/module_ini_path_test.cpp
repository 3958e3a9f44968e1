#include <gtest/gtest.h>

#include <string>

#include "settings/settings.h"
#include "support/failing_allocations.h"

namespace {

// Naming the settings file promises not to throw: without memory for the copy it reports false
// and keeps the earlier choice. (Here, beside the allocation hook of this test program.)
TEST(ModuleIniPath, NamingItWithoutMemoryKeepsTheEarlierChoiceAndThrowsNothing)
{
    const std::wstring earlier = L"C:\\Settings\\first choice of the settings file.ini";
    const std::wstring later = L"C:\\Settings\\second choice of the settings file.ini";
    ASSERT_TRUE(UseModuleIniPath(earlier));
    bool named = true;
    bool threw = false;
    {
        const vexa_test::FailingAllocations failing;
        try {
            named = UseModuleIniPath(later);
        } catch (...) {
            threw = true;
        }
    }
    EXPECT_FALSE(threw);
    EXPECT_FALSE(named);
    EXPECT_EQ(GetModuleIniPath(), earlier);
    EXPECT_TRUE(UseModuleIniPath(later));
    EXPECT_EQ(GetModuleIniPath(), later);
    EXPECT_TRUE(UseModuleIniPath(std::wstring()));
}

}  // namespace
