#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "broadcast/metrics_file.h"
#include "common/count_of.h"
#include "common/temp_folder.h"
#include "fakes/counting_replaced_file.h"
#include "fakes/log_capture.h"
#include "fakes/memory_profile.h"
#include "platform/last_error.h"
#include "platform/replaced_file.h"
#include "platform/seam.h"
#include "platform/shared_file.h"
#include "settings/settings.h"

namespace {

using testing_support::CountOf;

// Files the writer left beside `path`: "<name>.<random>.tmp".
std::size_t TemporaryFilesBeside(const std::wstring& path)
{
    const std::filesystem::path file(path);
    const std::wstring prefix = file.filename().wstring() + L".";
    std::size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(file.parent_path())) {
        const std::wstring name = entry.path().filename().wstring();
        if (name.compare(0, prefix.size(), prefix) == 0 && entry.path().extension() == L".tmp") {
            ++count;
        }
    }
    return count;
}

// Reads as a collector does, sharing the file with writers and with its replacement (on Windows a
// reader that denies deletion would make every replacement fail while it holds the file).
std::string ReadWhole(const std::wstring& path, bool& found)
{
    const std::unique_ptr<platform::ReadableFile> file =
        platform::SharedFile::System().OpenForReading(path);
    found = file != nullptr;
    if (!file) {
        return std::string();
    }
    std::string bytes(static_cast<std::size_t>(file->Size()), '\0');
    bytes.resize(file->ReadAt(0, &bytes[0], bytes.size()));
    return bytes;
}

// A reader polling the file while it is rewritten must only ever find one of the whole contents:
// with a plain truncate-and-write it would catch an empty or a cut-off file.
TEST(ReplacedFile, AReaderNeverSeesAPartialFile)
{
    const testing_support::TempFolder folder;
    const std::wstring path = folder.Path(L"vexa.prom");
    const std::string small(100, 'a');
    std::string large;
    for (int line = 0; line < 20000; ++line) {
        large += "vexa_field_value{field=\"Fan" + std::to_string(line) + "\"} 1\n";
    }
    platform::ReplacedFile& file = platform::ReplacedFile::System();
    ASSERT_TRUE(file.Write(path, small));

    std::atomic<bool> done{false};
    std::atomic<int> reads{0};
    std::atomic<int> partial{0};
    std::thread reader([&] {
        while (!done.load()) {
            bool found = false;
            const std::string content = ReadWhole(path, found);
            if (!found) {
                ++partial;  // the file must never be missing either
            } else if (content != small && content != large) {
                ++partial;
            }
            ++reads;
        }
    });
    int written = 0;
#ifdef _WIN32
    // Each write the reader blocks retries for a while: fewer rounds keep the test short.
    constexpr int kRounds = 40;
#else
    constexpr int kRounds = 200;
#endif
    for (int round = 0; round < kRounds; ++round) {
        if (file.Write(path, round % 2 == 0 ? large : small)) {
            ++written;
        }
    }
    done = true;
    reader.join();
    EXPECT_EQ(partial.load(), 0) << "of " << reads.load() << " reads";
    EXPECT_GT(reads.load(), 0);
#ifdef _WIN32
    // Windows cannot replace a file while a reader holds it open: such a write fails (and the
    // next cycle writes again), but it must not leave a part of a file either.
    EXPECT_GT(written, 0);
#else
    EXPECT_EQ(written, kRounds);
#endif
    EXPECT_EQ(TemporaryFilesBeside(path), 0u);
}

// A folder in the file's place cannot be replaced: the write fails with a reason, and neither
// the folder nor a temporary file is left changed behind.
TEST(ReplacedFile, AFailedReplacementLeavesNoTemporaryFile)
{
    const testing_support::TempFolder folder;
    const std::wstring path = folder.Path(L"vexa.prom");
    std::filesystem::create_directory(std::filesystem::path(path));
    platform::SetLastErrorCode(platform::kErrorSuccess);
    EXPECT_FALSE(platform::ReplacedFile::System().Write(path, "x 1\n"));
    EXPECT_NE(platform::GetLastErrorCode(), platform::kErrorSuccess);
    EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::path(path)));
    EXPECT_EQ(TemporaryFilesBeside(path), 0u);

    EXPECT_FALSE(
        platform::ReplacedFile::System().Write(folder.Path(L"missing\\vexa.prom"), "x 1\n"));
}

// A path past 259 characters is written where it points (on Windows through its extended-length
// form), and so is its temporary file.
TEST(ReplacedFile, APathLongerThan259CharactersIsWrittenInFull)
{
    const testing_support::TempFolder folder;
    const std::filesystem::path deep =
        std::filesystem::path(folder.Path(std::wstring(120, L'd'))) / std::wstring(120, L'e');
    std::filesystem::create_directories(deep);
    const std::wstring path = (deep / L"vexa.prom").wstring();
    ASSERT_GT(path.size(), 259u);
    ASSERT_TRUE(platform::ReplacedFile::System().Write(path, "x 1\n"));
    bool found = false;
    EXPECT_EQ(ReadWhole(path, found), "x 1\n");
    EXPECT_TRUE(found);
    EXPECT_EQ(TemporaryFilesBeside(path), 0u);
}

// Another user's file at the name the temporary file used to have, or at the first name the
// writer tries: a file of theirs (read-only, as one of another owner is), a link to a file of
// theirs, a link to where they want a file made. The writer opens none of them and takes another
// name; the planted file, and what a link points at, stay as they were.
TEST(ReplacedFile, APlantedTemporaryNameIsNeverFollowed)
{
    enum class Plant { kFile, kLink, kDanglingLink };
    const std::wstring firstName = platform::TemporaryFileOf(L"vexa.prom", 1);
    const struct {
        const char* label;
        std::wstring name;
        Plant plant;
    } cases[] = {
        {"file at the old name", L"vexa.prom.tmp", Plant::kFile},
        {"file at the first name", firstName, Plant::kFile},
#ifndef _WIN32
        {"link at the old name", L"vexa.prom.tmp", Plant::kLink},
        {"link at the first name", firstName, Plant::kLink},
        {"dangling link at the first name", firstName, Plant::kDanglingLink},
#endif
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const testing_support::TempFolder folder;
        const std::filesystem::path planted(folder.Path(c.name));
        const std::filesystem::path victim(folder.Path(L"victim"));
        if (c.plant == Plant::kFile) {
            folder.Write(c.name, "forged 1\n");
            std::filesystem::permissions(planted, std::filesystem::perms::all,
                                         std::filesystem::perm_options::remove);
        } else {
            if (c.plant == Plant::kLink) {
                folder.Write(L"victim", "victim\n");
            }
            std::filesystem::create_symlink(victim, planted);
        }
        std::uint64_t nonce = 0;
        const auto writer = platform::ReplacedFile::WithNonces([&nonce] { return ++nonce; });

        EXPECT_TRUE(writer->Write(folder.Path(L"vexa.prom"), "x 1\n"));
        EXPECT_EQ(folder.Read(L"vexa.prom"), "x 1\n");
        EXPECT_EQ(folder.Read(L"victim"), c.plant == Plant::kLink ? "victim\n" : "<missing>");
        EXPECT_EQ(TemporaryFilesBeside(folder.Path(L"vexa.prom")), 1u);  // the planted one
        if (c.plant == Plant::kFile) {
            std::filesystem::permissions(planted, std::filesystem::perms::owner_all);
            EXPECT_EQ(folder.Read(c.name), "forged 1\n");
        } else {
            EXPECT_TRUE(std::filesystem::is_symlink(planted));
        }
    }
}

// Should every name the writer tries be taken, the write fails and touches nothing.
TEST(ReplacedFile, AWriteWhoseEveryNameIsTakenFails)
{
    const testing_support::TempFolder folder;
    folder.Write(platform::TemporaryFileOf(L"vexa.prom", 7), "forged 1\n");
    const auto writer = platform::ReplacedFile::WithNonces([] { return 7; });
    platform::SetLastErrorCode(platform::kErrorSuccess);
    EXPECT_FALSE(writer->Write(folder.Path(L"vexa.prom"), "x 1\n"));
    EXPECT_NE(platform::GetLastErrorCode(), platform::kErrorSuccess);
    EXPECT_EQ(folder.Read(L"vexa.prom"), "<missing>");
    EXPECT_EQ(folder.Read(platform::TemporaryFileOf(L"vexa.prom", 7)), "forged 1\n");
}

// Records what it was given, writing nothing.
struct ScriptedReplacedFile : fakes::CountingReplacedFile {
    ScriptedReplacedFile() { passThrough = false; }
};

TEST(MetricsFile, AFailureIsLoggedOnceAndSoIsTheRecovery)
{
    ScriptedReplacedFile replaced;
    const platform::Substitute<platform::ReplacedFile> inPlace(replaced);
    const fakes::LogCapture log(0);
    MBBroadcast::MetricsFile metrics(L"c:\\metrics\\vexa.prom");
    MBDataContainer::CycleSnapshot snapshot;
    snapshot.cycles = 1;

    replaced.fail = true;
    for (int cycle = 0; cycle < 3; ++cycle) {
        metrics.Write(snapshot, L"4.0.11.0");
    }
    EXPECT_EQ(replaced.writes, 3);
    std::string text = log.Contents();
    EXPECT_EQ(CountOf(text, "Unable to write metrics file!"), 1u);
    EXPECT_EQ(CountOf(text, "\tl_dwLastError\t5\r\n"), 1u);
    EXPECT_EQ(CountOf(text, "\tm_strPath\tc:\\metrics\\vexa.prom\r\n"), 1u);

    replaced.fail = false;
    metrics.Write(snapshot, L"4.0.11.0");
    metrics.Write(snapshot, L"4.0.11.0");
    text = log.Contents();
    EXPECT_EQ(CountOf(text, "Metrics file written again"), 1u);
    EXPECT_EQ(replaced.lastPath, L"c:\\metrics\\vexa.prom");
    EXPECT_NE(replaced.lastBytes.find("vexa_cycles_total 1\n"), std::string::npos);

    replaced.fail = true;
    metrics.Write(snapshot, L"4.0.11.0");
    EXPECT_EQ(CountOf(log.Contents(), "Unable to write metrics file!"), 2u);
}

TEST(MetricsFile, AnEmptyPathWritesNothing)
{
    ScriptedReplacedFile replaced;
    const platform::Substitute<platform::ReplacedFile> inPlace(replaced);
    MBBroadcast::MetricsFile metrics(L"");
    EXPECT_FALSE(metrics.IsOn());
    metrics.Write(MBDataContainer::CycleSnapshot(), L"1");
    EXPECT_EQ(replaced.writes, 0);
}

// A long path is read in full, never cut to 259 characters (another file's name); a value that
// may have been cut at the longest path Windows knows is refused with one log line.
TEST(MetricsFile, ThePathIsReadInFullOrRefused)
{
    const struct {
        std::size_t length;
        bool refused;
    } cases[] = {{40, false}, {300, false}, {32766, false}, {32767, true}, {40000, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        fakes::MemoryProfile profile;
        const platform::Substitute<platform::Profile> inPlace(profile);
        const std::wstring path = L"c:\\metrics\\" + std::wstring(c.length - 16, L'm') + L".prom";
        ASSERT_EQ(path.size(), c.length);
        profile.entries[{GetModuleIniPath(), L"Export", L"MetricsFile"}] = path;
        const fakes::LogCapture log(0);
        EXPECT_EQ(MBBroadcast::ReadMetricsFilePath(), c.refused ? std::wstring() : path);
        EXPECT_EQ(CountOf(log.Contents(),
                          "\t\tMetricsFile is longer than 32766 characters; no "
                          "metrics file is written\r\n"),
                  c.refused ? 1u : 0u);
    }
}

// Only a ".prom" file is written: no other file the account may write, no device, no pipe.
TEST(MetricsFile, APathThatIsNoMetricsFileIsRefused)
{
    const struct {
        std::wstring path;
        const char* why;
    } cases[] = {
        {L"c:\\metrics\\vexa.prom", nullptr},
        {L"C:\\METRICS\\VEXA.PROM", nullptr},
        {L"\\\\server\\share\\vexa.prom", nullptr},
        {L"c:\\metrics\\vexa.txt", "does not end in .prom"},
        {L"c:\\Computer.ini", "does not end in .prom"},
        {L"\\\\.\\pipe\\vexa.prom", "names a named pipe, not a file"},
        {L"\\\\?\\GLOBALROOT\\Device\\vexa.prom", "names a device, not a file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.path.begin(), c.path.end()));
        fakes::MemoryProfile profile;
        const platform::Substitute<platform::Profile> inPlace(profile);
        profile.entries[{GetModuleIniPath(), L"Export", L"MetricsFile"}] = c.path;
        const fakes::LogCapture log(0);
        EXPECT_EQ(MBBroadcast::ReadMetricsFilePath(), c.why ? std::wstring() : c.path);
        const std::string text = log.Contents();
        if (c.why) {
            EXPECT_EQ(
                CountOf(text, std::string("\" ") + c.why + "; no metrics file is written\r\n"), 1u)
                << text;
        } else {
            EXPECT_EQ(CountOf(text, "MetricsFile"), 0u) << text;
        }
    }
}

}  // namespace
