#include "settings/device_path.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(DeviceKindOf, PipesAndDevicesAreToldFromFiles)
{
    const std::wstring pipe = L"a named pipe";
    const std::wstring device = L"a device";
    const struct {
        std::wstring path;
        std::wstring expected;
    } cases[] = {
        {L"c:\\probe\\history.txt", L""},
        {L"probe\\history.txt", L""},
        {L"\\\\server\\share\\history.txt", L""},
        {L"\\\\?\\C:\\probe\\history.txt", L""},
        {L"\\\\?\\UNC\\server\\share\\history.txt", L""},
        {L"\\\\?\\Volume{0b1c}\\history.txt", L""},
        {L"/tmp/probe/history.txt", L""},
        {L"c:\\probe\\console.txt", L""},
        {L"c:\\probe\\com10.txt", L""},
        {L"\\\\.\\pipe\\probe", pipe},
        {L"//./PIPE/probe", pipe},
        {L"\\\\?\\pipe\\probe", pipe},
        {L"\\??\\pipe\\probe", pipe},
        {L"\\\\server\\pipe\\probe", pipe},
        {L"\\\\?\\UNC\\localhost\\PIPE\\probe", pipe},
        {L"\\\\.\\C:\\probe\\history.txt", device},
        {L"\\\\.\\PhysicalDrive0", device},
        {L"\\\\?\\GLOBALROOT\\Device\\Harddisk0\\Partition1", device},
        {L"\\\\?\\PhysicalDrive0", device},
        {L"\\??\\C:", device},
        {L"c:\\probe\\NUL", device},
        {L"c:\\probe\\com1.txt", device},
        {L"c:\\probe\\Lpt9 .prom", device},
        {L"CONOUT$", device},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.path.begin(), c.path.end()));
        EXPECT_EQ(DeviceKindOf(c.path), c.expected);
    }
}

}  // namespace
