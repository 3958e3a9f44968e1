#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "common/temp_folder.h"
#include "fakes/log_capture.h"
#include "fakes/memory_environment.h"
#include "logging/log.h"
#include "logging/log_stream_access.h"
#include "logging/logger_stream.h"
#include "platform/environment.h"
#include "platform/last_error.h"
#include "platform/message_dialog.h"
#include "platform/seam.h"

namespace {

const std::wstring kLocation = L"CMain::MyThread  line: 63";
const std::string kLocation8 = "CMain::MyThread  line: 63";

std::string Levelled(const std::string& message)
{
    return "\r\nT\t" + kLocation8 + "\t\t" + message + "\r\n";
}

std::string ErrorLine(const std::string& message)
{
    return "\r\nT ** " + kLocation8 + "\t\t" + message + "\r\n";
}

std::string ValueLine(const std::string& label, const std::string& value)
{
    return "\r\nT\t" + kLocation8 + "\t\t" + label + "\t" + value + "\r\n";
}

class RecordingDialog : public platform::MessageDialog {
public:
    void Show(const std::wstring& text, const std::wstring& caption) override
    {
        texts.push_back(text);
        captions.push_back(caption);
    }
    std::vector<std::wstring> texts;
    std::vector<std::wstring> captions;
};

TEST(LogLocation, NameTwoBlanksLineAndNumber)
{
    EXPECT_EQ(dbg::MakeLocation(L"CMain::MyThread", 63), L"CMain::MyThread  line: 63");
    const int line = __LINE__ + 1;
    EXPECT_EQ(VEXA_LOCATION(L"X::Y"), L"X::Y  line: " + std::to_wstring(line));
}

TEST(LogFile, StartsWithEmptyLineAndSeparatesEntriesByOne)
{
    fakes::LogCapture log(0);
    dbg::LogLine(kLocation, 0, L"Start");
    dbg::LogErrorLine(kLocation, L"exception");
    EXPECT_EQ(log.Normalized(), Levelled("Start") + ErrorLine("exception"));
}

TEST(LogFile, LevelZeroWritesLevelZeroAndErrorLinesOnly)
{
    fakes::LogCapture log(0);
    dbg::LogLine(kLocation, 3, L"progress");
    dbg::LogLine(kLocation, 0, L"always");
    dbg::LogValueLine(kLocation, 1, L"m_nValue", 1);
    dbg::LogErrorLine(kLocation, L"error");
    EXPECT_EQ(log.Normalized(), Levelled("always") + ErrorLine("error"));
}

TEST(LogFile, LevelThreeWritesUpToThree)
{
    fakes::LogCapture log(3);
    for (std::uint32_t level : {0u, 1u, 2u, 3u, 5u, 10u, 0xFFFFFFFFu}) {
        dbg::LogLine(kLocation, level, L"level " + std::to_wstring(level));
    }
    EXPECT_EQ(log.Normalized(), Levelled("level 0") + Levelled("level 1") + Levelled("level 2") +
                                    Levelled("level 3"));
}

TEST(LogFile, ValueLinesWriteNumbersAndTexts)
{
    fakes::LogCapture log(10);
    dbg::LogValueLine(kLocation, 0, L"l_nFailures", std::int32_t{-5});
    dbg::LogValueLine(kLocation, 0, L"l_CurrentResult", std::uint32_t{4000000000u});
    dbg::LogValueLine(kLocation, 0, L"m_nValue", std::uint16_t{65535});
    dbg::LogValueLine(kLocation, 0, L"p_idxValue", std::uint8_t{65});
    dbg::LogValueLine(kLocation, 0, L"l_nError", 183ul);
    dbg::LogValueLine(kLocation, 0, L"m_strFilename", L"c:\\x.ini");
    dbg::LogValueLine(kLocation, 0, L"m_strUser", std::wstring(L"TarselAdmin"));
    dbg::LogValueLine(kLocation, 0, L"m_strNull", static_cast<const wchar_t*>(nullptr));
    dbg::LogValueLine(kLocation, 11, L"m_strHidden", std::wstring(L"secret"));
    EXPECT_EQ(log.Normalized(),
              ValueLine("l_nFailures", "-5") + ValueLine("l_CurrentResult", "4000000000") +
                  ValueLine("m_nValue", "65535") + ValueLine("p_idxValue", "65") +
                  ValueLine("l_nError", "183") + ValueLine("m_strFilename", "c:\\x.ini") +
                  ValueLine("m_strUser", "TarselAdmin") + ValueLine("m_strNull", ""));
}

// A reader on Windows takes the file as the ANSI code page: cp1252, the Euro sign included.
TEST(LogFile, Cp1252TextAndQuestionMarkForTheRest)
{
    fakes::LogCapture log(0);
    dbg::LogLine(kLocation, 0, L"caf\u00e9 \u00ff");
    dbg::LogLine(kLocation, 0, L"5 \u20ac \u201cx\u201d \u4e2d \u0080");
    dbg::LogLine(kLocation, 0, L"still written");
    EXPECT_EQ(log.Normalized(), Levelled("caf\xe9 \xff") + Levelled("5 \x80 \x93x\x94 ? ?") +
                                    Levelled("still written"));
}

TEST(LogFile, NothingWrittenWithoutStream)
{
    dbg::LogStreamAccess::Instance().SetLevel(10);
    EXPECT_NO_THROW(dbg::LogLine(kLocation, 0, L"nowhere"));
    EXPECT_NO_THROW(dbg::LogErrorLine(kLocation, L"nowhere"));
    EXPECT_NO_THROW(dbg::LogValueLine(kLocation, 0, L"l", 1));
    dbg::LogStreamAccess::Instance().SetLevel(0);
}

TEST(LogFile, NewStartEmptiesFileWithoutTheOldLastEntry)
{
    fakes::LogCapture log(0);
    dbg::LogLine(kLocation, 0, L"first run, entry 1");
    dbg::LogLine(kLocation, 0, L"first run, entry 2");
    {
        // The previous worker's reference may outlive the new start.
        std::shared_ptr<dbg::LoggerStream> previous = log.OpenStream();
        dbg::LogStreamAccess::Instance().SetStream(previous);
        dbg::LogLine(kLocation, 0, L"second run");
        std::shared_ptr<dbg::LoggerStream> next = log.OpenStream();
        dbg::LogStreamAccess::Instance().SetStream(next);
        previous.reset();
        dbg::LogLine(kLocation, 0, L"third run");
    }
    dbg::LogStreamAccess::Instance().SetStream(nullptr);
    EXPECT_EQ(log.Normalized(), Levelled("third run"));
}

TEST(LogFile, OpeningOverAnExistingFileLeavesNoLastError)
{
    fakes::LogCapture log(0);
    platform::SetLastErrorCode(platform::kErrorAlreadyExists);
    auto stream = log.OpenStream();
    EXPECT_EQ(platform::GetLastErrorCode(), platform::kErrorSuccess);
}

TEST(LogFile, MissingTempDirectoryKeepsTheLogSilent)
{
    const testing_support::TempFolder directory;
    fakes::MemoryEnvironment environment({{L"TEMP", directory.Path(L"missing")}});
    platform::Substitute<platform::Environment> substitute(environment);
    dbg::LogStreamAccess::Instance().SetStream(std::make_shared<dbg::LoggerStream>(L"Vexa.log"));
    EXPECT_NO_THROW(dbg::LogErrorLine(kLocation, L"lost"));
    dbg::LogStreamAccess::Instance().SetStream(nullptr);
    EXPECT_FALSE(std::filesystem::exists(directory.Path(L"missing")));
}

TEST(LogFile, EntriesCollectedAfterAThrowingWriteAreShownOnClose)
{
    fakes::LogCapture log(0);
    RecordingDialog dialog;
    platform::Substitute<platform::MessageDialog> dialogSubstitute(dialog);

    // A closed stream with exceptions enabled throws on every write.
    auto stream = log.OpenStream();
    stream->close();
    stream->exceptions(std::ios::failbit | std::ios::badbit);
    dbg::LogStreamAccess::Instance().SetStream(stream);
    stream.reset();
    dbg::LogErrorLine(kLocation, L"first");
    dbg::LogErrorLine(kLocation, L"second");
    EXPECT_TRUE(dialog.texts.empty());
    EXPECT_NO_THROW(dbg::LogStreamAccess::Instance().SetStream(nullptr));

    ASSERT_EQ(dialog.texts.size(), 1u);
    EXPECT_EQ(dialog.captions[0], L"Error");
    const std::wstring& text = dialog.texts[0];
    EXPECT_EQ(fakes::MaskTimeStamps(std::string(text.begin(), text.end())),
              "T ** " + kLocation8 + "\t\tfirst\r\nT ** " + kLocation8 + "\t\tsecond\r\n");
}

// Shows each message on standard error, where a test of a process's end can see it.
class StandardErrorDialog : public platform::MessageDialog {
public:
    void Show(const std::wstring& text, const std::wstring& caption) override
    {
        std::fprintf(stderr, "message box %ls: %ls\n", caption.c_str(), text.c_str());
        std::fflush(stderr);
    }
};

// The access point goes with the module (at the process's end here, at FreeLibrary in the DLL):
// a stream that failed then shows no message box, which under the loader lock would wait for a
// click that a headless runtime never gives.
void EndProcessWithAFailedLogStream()
{
    static StandardErrorDialog s_dialog;
    static fakes::MemoryEnvironment s_environment(
        std::map<std::wstring, std::wstring>{{L"TEMP", L"\\no such folder"}});
    platform::Seam<platform::MessageDialog>::Exchange(&s_dialog);
    platform::Seam<platform::Environment>::Exchange(&s_environment);
    auto stream = std::make_shared<dbg::LoggerStream>(L"Vexa.log");
    // Cleared so that the state check of exceptions() passes; the next write then throws.
    stream->clear();
    stream->exceptions(std::ios::failbit | std::ios::badbit);
    dbg::LogStreamAccess::Instance().SetStream(stream);
    stream.reset();
    dbg::LogErrorLine(kLocation, L"collected after the failure");
    std::fprintf(stderr, "leaving\n");
    std::fflush(stderr);
    std::exit(0);
}

TEST(LogFileDeathTest, AFailedStreamShowsNoMessageBoxWhenTheModuleUnloads)
{
    EXPECT_EXIT(EndProcessWithAFailedLogStream(), testing::ExitedWithCode(0),
                testing::AllOf(testing::HasSubstr("leaving"),
                               testing::Not(testing::HasSubstr("message box"))));
}

TEST(LogFile, EntriesFromSeveralThreadsStayWhole)
{
    fakes::LogCapture log(0);
    constexpr int kThreads = 4;
    constexpr int kEntries = 200;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < kEntries; ++i) {
                dbg::LogLine(kLocation, 0, L"thread " + std::to_wstring(t) + L" entry");
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    std::string expected;
    std::string text = log.Normalized();
    std::size_t count = 0;
    std::size_t position = 0;
    while (position < text.size()) {
        const std::size_t end = text.find("entry\r\n", position);
        ASSERT_NE(end, std::string::npos);
        const std::string entry = text.substr(position, end + 7 - position);
        EXPECT_EQ(entry, Levelled(entry.substr(entry.find("thread"), 8) + " entry"));
        position = end + 7;
        ++count;
    }
    EXPECT_EQ(count, static_cast<std::size_t>(kThreads * kEntries));
}

}  // namespace
