#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>

#include "acquisition/last_line.h"
#include "common/temp_folder.h"
#include "platform/posix/native_path_posix.h"

namespace MBDataAquisition {
namespace {

TEST(LastLinePosixTest, APipeInTheHistoryFilesPlaceGivesTheEmptyLineAtOnce)
{
    testing_support::TempFolder folder;
    const std::wstring path = folder.Path(L"history.txt");
    const std::string native = platform::posix::NativePath(path);
    ASSERT_EQ(::mkfifo(native.c_str(), 0600), 0);
    auto reading = std::async(std::launch::async, [&] { return ReadLastLine(path); });
    if (reading.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
        ADD_FAILURE() << "the reader blocks on the pipe";
        // A writer lets the blocked open return, so the test can end.
        const int writer = ::open(native.c_str(), O_WRONLY);
        if (writer >= 0) {
            ::close(writer);
        }
    }
    EXPECT_EQ(reading.get(), "");
}

}  // namespace
}  // namespace MBDataAquisition
