#include "platform/win32/dacl_access.h"

#include <windows.h>
// After windows.h.
#include <sddl.h>

#include <gtest/gtest.h>

namespace {

// DACLs written in SDDL, as icacls and the installers set them.
TEST(DaclAccess, OnlyRightsOfAllUsersOnTheObjectItselfCount)
{
    constexpr ACCESS_MASK kWrite = FILE_ADD_FILE | FILE_DELETE_CHILD | WRITE_DAC | GENERIC_WRITE;
    const struct {
        const wchar_t* sddl;
        bool open;
    } cases[] = {
        {L"D:(A;;FA;;;SY)(A;;FA;;;BA)(A;;0x1200a9;;;BU)", false},  // Program Files: read, run
        {L"D:(A;;FA;;;SY)(A;;0x1301bf;;;AU)", true},               // modify for Authenticated Users
        {L"D:(A;;FA;;;WD)", true},                                 // Everyone
        {L"D:(A;;0x2;;;BU)", true},                                // Users may add files
        {L"D:(A;OICIIO;FA;;;AU)(A;;FA;;;BA)", false},              // passed on to children only
        {L"D:(D;;0x2;;;WD)(A;;0x2;;;BU)", false},                  // denied first
        {L"D:(A;;FA;;;S-1-5-21-1-2-3-1001)", false},               // one user only
        {L"D:", false},                                            // empty: no one
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.sddl)));
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(c.sddl, SDDL_REVISION_1,
                                                                         &descriptor, nullptr));
        BOOL present = FALSE;
        BOOL defaulted = FALSE;
        PACL dacl = nullptr;
        ASSERT_TRUE(GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted));
        EXPECT_EQ(platform::win32::DaclOpensToAllUsers(dacl, kWrite), c.open);
        LocalFree(descriptor);
    }
    EXPECT_TRUE(platform::win32::DaclOpensToAllUsers(nullptr, kWrite));
}

}  // namespace
