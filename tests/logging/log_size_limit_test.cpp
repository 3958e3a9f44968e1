#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <regex>
#include <string>

#include "common/count_of.h"
#include "common/temp_folder.h"
#include "fakes/log_capture.h"
#include "fakes/memory_environment.h"
#include "logging/log.h"
#include "logging/log_stream_access.h"
#include "logging/logger_stream.h"
#include "platform/seam.h"

namespace {

using testing_support::CountOf;

const std::wstring kLocation = L"test::Limit  line: 7";

// A log stream on "<folder>\Vexa.log" with a size limit, installed for the scope at level 0.
class LimitedLog {
public:
    explicit LimitedLog(std::uint64_t maxBytes)
    {
        fakes::MemoryEnvironment environment({{L"TEMP", m_Folder.Path()}});
        platform::Substitute<platform::Environment> substitute(environment);
        dbg::LogStreamAccess::Instance().SetStream(
            std::make_shared<dbg::LoggerStream>(L"Vexa.log", maxBytes));
        dbg::LogStreamAccess::Instance().SetLevel(0);
    }
    ~LimitedLog() { dbg::LogStreamAccess::Instance().SetStream(nullptr); }
    LimitedLog(const LimitedLog&) = delete;
    LimitedLog& operator=(const LimitedLog&) = delete;

    std::string Current() const { return m_Folder.Read(L"Vexa.log"); }
    std::string Older() const { return m_Folder.Read(L"Vexa.log.1"); }
    std::uintmax_t CurrentSize() const
    {
        return std::filesystem::file_size(std::filesystem::path(m_Folder.Path(L"Vexa.log")));
    }

    testing_support::TempFolder m_Folder;
};

// "entry 17 xxxx...": numbered entries of about 100 bytes.
std::wstring Entry(int number)
{
    return L"entry " + std::to_wstring(number) + L" " + std::wstring(60, L'x');
}

TEST(LogSizeLimit, TheFileNeverGrowsPastTheLimitAndTheEarlierEntriesMoveToDotOne)
{
    constexpr std::uint64_t kLimit = 2048;
    LimitedLog log(kLimit);
    for (int i = 1; i <= 200; ++i) {
        dbg::LogLine(kLocation, 0, Entry(i));
        ASSERT_LE(log.CurrentSize(), kLimit) << "after entry " << i;
    }
    const std::string current = fakes::MaskTimeStamps(log.Current());
    const std::string older = fakes::MaskTimeStamps(log.Older());
    ASSERT_LE(older.size(), kLimit);
    // The new file begins with the line that tells where the earlier entries went, in the
    // layout of every levelled line.
    static const std::regex s_first(
        "\r\nT\tdbg::LoggerStream::BeginNewFile  line: [0-9]+\t\tVexa\\.log reached 2 KB: the "
        "earlier entries are in Vexa\\.log\\.1\r\n\r\nT\ttest::Limit  line: 7\t\tentry [0-9]+ "
        "x+\r\n[\\s\\S]*");
    EXPECT_TRUE(std::regex_match(current, s_first)) << current;
    EXPECT_TRUE(std::regex_match(older, s_first)) << older;
    // No entry is lost at the change: the last of Vexa.log.1 and the first of Vexa.log follow on.
    EXPECT_NE(current.find("entry 200 "), std::string::npos);
    const auto lastOld = older.rfind("entry ");
    const int lastOldNumber = std::stoi(older.substr(lastOld + 6));
    const auto firstNew = current.find("\t\tentry ");
    EXPECT_EQ(std::stoi(current.substr(firstNew + 8)), lastOldNumber + 1);
    EXPECT_EQ(CountOf(current, "\t\tentry "), 200 - lastOldNumber);
}

TEST(LogSizeLimit, WithoutALimitTheFileKeepsGrowing)
{
    LimitedLog log(dbg::LoggerStream::kNoLimit);
    for (int i = 1; i <= 100; ++i) {
        dbg::LogLine(kLocation, 0, Entry(i));
    }
    EXPECT_EQ(CountOf(log.Current(), "\t\tentry "), 100);
    EXPECT_EQ(log.Older(), "<missing>");
}

#ifndef _WIN32
// When the new file cannot be opened after a change, the next entry tries again, instead of the
// log staying silent until another limit's worth of entries has been dropped. (The fault is laid
// by putting directories where the files go, which Windows refuses while the log holds its file.)
TEST(LogSizeLimit, AFailedReopenIsRetriedAtTheNextEntry)
{
    constexpr std::uint64_t kLimit = 2048;
    LimitedLog log(kLimit);
    for (int i = 1; i <= 5; ++i) {
        dbg::LogLine(kLocation, 0, Entry(i));
    }
    const std::filesystem::path current(log.m_Folder.Path(L"Vexa.log"));
    const std::filesystem::path older(log.m_Folder.Path(L"Vexa.log.1"));
    std::filesystem::remove(current);
    for (const auto& blocked : {current, older}) {
        std::filesystem::create_directories(blocked / "inside");
    }
    // Past the limit: the change finds neither file and cannot open the new one.
    for (int i = 6; i <= 30; ++i) {
        dbg::LogLine(kLocation, 0, Entry(i));
    }
    ASSERT_TRUE(std::filesystem::is_directory(current));
    std::filesystem::remove_all(current);
    std::filesystem::remove_all(older);

    dbg::LogLine(kLocation, 0, Entry(31));
    const std::string text = fakes::MaskTimeStamps(log.Current());
    EXPECT_NE(text.find("\t\tentry 31 "), std::string::npos) << text;
    EXPECT_EQ(CountOf(text, "\t\tentry "), 1) << text;
    static const std::regex s_first(
        "\r\nT\tdbg::LoggerStream::BeginNewFile  line: [0-9]+\t\tVexa\\.log reached 2 KB: the "
        "earlier entries could not be kept; [0-9]+ entries were lost while Vexa\\.log could not be "
        "opened\r\n\r\nT\ttest::Limit  line: 7\t\tentry 31 x+\r\n");
    EXPECT_TRUE(std::regex_match(text, s_first)) << text;
}
#endif

}  // namespace
