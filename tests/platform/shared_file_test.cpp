#include "platform/shared_file.h"

#include <gtest/gtest.h>

#include "common/temp_folder.h"

namespace {

using platform::WholeFile;
using testing_support::TempFolder;

TEST(SharedFile, ReadWholeFileTellsAMissingFileFromOneRead)
{
    TempFolder folder;
    folder.Write(L"record.txt", "drive\r\nend\r\n");
    const struct {
        const wchar_t* name;
        std::uint64_t limit;
        WholeFile result;
        std::string bytes;
    } cases[] = {
        {L"record.txt", 1000, WholeFile::Read, "drive\r\nend\r\n"},
        {L"record.txt", 5, WholeFile::Read, "drive"},
        {L"missing.txt", 1000, WholeFile::Missing, ""},
        {L"missing\\record.txt", 1000, WholeFile::Missing, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << " " << c.limit);
        std::string bytes = "before";
        EXPECT_EQ(platform::ReadWholeFile(folder.Path(c.name), bytes, c.limit), c.result);
        EXPECT_EQ(bytes, c.bytes);
    }
}

}  // namespace
