#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "fakes/log_capture.h"
#include "logging/log.h"
#include "logging/log_stream_access.h"

namespace {

// The log on a disk with no room (/dev/full) loses its entries, counts them, and once there is
// room again the first line that gets through says how many were lost; the entries go on after it.
TEST(LogFullDisk, LostEntriesAreCountedAndTheLogGoesOnWhenThereIsRoomAgain)
{
    fakes::LogCapture capture(0, L"Full.log");
    const std::filesystem::path path = capture.FilePath();
    std::filesystem::remove(path);
    ASSERT_EQ(::symlink("/dev/full", path.c_str()), 0);
    dbg::LogStreamAccess::Instance().SetStream(capture.OpenStream());

    for (const wchar_t* line : {L"one", L"two", L"three"}) {
        dbg::LogLine(L"here", 0, line);
    }
    std::filesystem::remove(path);  // room again: a plain file in the link's place
    dbg::LogLine(L"here", 0, L"four");
    dbg::LogLine(L"here", 0, L"five");

    EXPECT_EQ(capture.Normalized(true),
              "\r\nT\tdbg::LoggerStream::ReopenAfterFailedWrite  line: N\t\t"
              "3 entries were lost while Full.log could not be written\r\n"
              "\r\nT\there\t\tfour\r\n"
              "\r\nT\there\t\tfive\r\n");
}

}  // namespace
