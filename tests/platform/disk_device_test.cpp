#include "platform/disk_device.h"

#include <gtest/gtest.h>

namespace {

TEST(DiskDevice, PhysicalDriveNumberReadsOnlyADrivePath)
{
    const struct {
        const wchar_t* path;
        std::optional<std::uint32_t> drive;
    } cases[] = {
        {L"\\\\.\\PHYSICALDRIVE0", 0u},
        {L"\\\\.\\PhysicalDrive12", 12u},
        {L"\\\\.\\PHYSICALDRIVE255", 255u},
        {L"\\\\.\\PHYSICALDRIVE", std::nullopt},
        {L"\\\\.\\PHYSICALDRIVE1234", std::nullopt},
        {L"\\\\.\\PHYSICALDRIVE1a", std::nullopt},
        {L"\\\\.\\C:", std::nullopt},
        {L"PHYSICALDRIVE0", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.path);
        EXPECT_EQ(platform::PhysicalDriveNumber(c.path), c.drive);
        if (c.drive) {
            EXPECT_EQ(platform::PhysicalDriveNumber(platform::PhysicalDrivePath(*c.drive)),
                      c.drive);
        }
    }
}

}  // namespace
