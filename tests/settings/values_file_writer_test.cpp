#include "settings/values_file_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/temp_folder.h"
#include "fakes/counting_replaced_file.h"
#include "platform/profile.h"
#include "platform/seam.h"

namespace {

using Entries = platform::Profile::Entries;

// A sequence of writes as the monitor makes them in a cycle (a section write has no key).
struct Step {
    const wchar_t* section;
    const wchar_t* key;
    const wchar_t* value;
    Entries entries;
};

const Entries kHeartbeat = {{L"LAST_CYCLE", L"2026-12-08 10:00:00"}, {L"FAILED_CYCLES", L"0"}};

// The same writes through the profile functions one by one (under Wine the system's own) and
// through the writer's one whole write give the same bytes: the order of sections and keys, the
// line ends, and the lines the monitor does not own.
TEST(ValuesFileWriter, GivesTheBytesThatTheProfileFunctionsGive)
{
    const struct {
        const char* name;
        std::string before;
        std::vector<Step> steps;
    } cases[] = {
        {"a new file",
         "",
         {{L"VEXA_CURRENT", L"NO_OF_MESSAGES", L"", {}},
          {L"VEXA_CURRENT", L"IPC_FANS", L"1", {}},
          {L"Values", L"Fan0", L"2500", {}},
          {L"Values", L"HddLifetime", L"21000", {}},
          {L"VEXA_CURRENT", L"IPC_TEMP", L"3", {}},
          {L"Values", L"Fan0", L"2510", {}},
          {L"VEXA_STATUS", L"", L"", kHeartbeat}}},
        {"an HMI project's own sections, keys and comment around the monitor's",
         "; written by the HMI project\r\n[HMI]\r\nScreen=3\r\n[VEXA_CURRENT]\r\nIPC_FANS=1\r\n"
         "Own=kept\r\n[Values]\r\nFan0=1\r\n[VEXA_STATUS]\r\nLAST_CYCLE=old\r\nOLD=gone\r\n"
         "[Tail]\r\nx=y\r\n",
         {{L"VEXA_CURRENT", L"IPC_FANS", L"2", {}},
          {L"VEXA_CURRENT", L"MESSAGE_1", L"2Shutdown failure!", {}},
          {L"values", L"Fan0", L"2481", {}},
          {L"Values", L"Temp0", L"41", {}},
          {L"VEXA_STATUS", L"", L"", kHeartbeat}}},
        {"a last line without line break",
         "[VEXA_CURRENT]\r\nIPC_FANS=1",
         {{L"VEXA_CURRENT", L"IPC_TEMP", L"1", {}}, {L"Values", L"Fan0", L"1", {}}}},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        const testing_support::TempFolder folder;
        folder.Write(L"profile.ini", test.before);
        folder.Write(L"whole.ini", test.before);
        platform::Profile& profile = platform::Profile::System();
        ValuesFileWriter writer;
        for (const Step& step : test.steps) {
            if (*step.key == L'\0') {
                ASSERT_TRUE(
                    profile.WriteSection(step.section, step.entries, folder.Path(L"profile.ini")));
                writer.SetSection(step.section, step.entries);
            } else {
                ASSERT_TRUE(profile.WriteString(step.section, step.key, step.value,
                                                folder.Path(L"profile.ini")));
                writer.SetValue(step.section, step.key, step.value);
            }
        }
        EXPECT_EQ(writer.Flush(folder.Path(L"whole.ini")), ValuesFileWriter::Outcome::Written);
        EXPECT_EQ(folder.Read(L"whole.ini"), folder.Read(L"profile.ini"));
        EXPECT_EQ(writer.Pending(), 0u);
    }
}

// Cycle by cycle: a write only when the text changes, the file whole while writing fails, and
// the pending writes (a UPS message among them) put in by the first write that works.
TEST(ValuesFileWriter, WritesOnlyChangedTextAndKeepsItsWritesWhileTheFileCannotBeWritten)
{
    const testing_support::TempFolder folder;
    const std::wstring file = folder.Path(L"VexaValues.ini");
    fakes::CountingReplacedFile replaced;
    replaced.failureCode = 112;  // ERROR_DISK_FULL
    const platform::Substitute<platform::ReplacedFile> inPlace(replaced);
    ValuesFileWriter writer;
    const struct {
        const wchar_t* key;  // nothing: no write this cycle
        const wchar_t* value;
        bool fail;
        ValuesFileWriter::Outcome outcome;
        int replacements;
        std::size_t pending;
        const char* file;
    } cycles[] = {
        {L"IPC_FANS", L"1", false, ValuesFileWriter::Outcome::Written, 1, 0,
         "[VEXA_CURRENT]\r\nIPC_FANS=1\r\n"},
        {L"IPC_FANS", L"1", false, ValuesFileWriter::Outcome::Written, 1, 0,
         "[VEXA_CURRENT]\r\nIPC_FANS=1\r\n"},  // the same text: nothing written
        {nullptr, nullptr, false, ValuesFileWriter::Outcome::NothingPending, 1, 0,
         "[VEXA_CURRENT]\r\nIPC_FANS=1\r\n"},
        {L"MESSAGE_1", L"2Shutdown failure!", true, ValuesFileWriter::Outcome::Failed, 2, 1,
         "[VEXA_CURRENT]\r\nIPC_FANS=1\r\n"},  // full disk: the file stays whole
        {L"IPC_FANS", L"2", true, ValuesFileWriter::Outcome::Failed, 3, 2,
         "[VEXA_CURRENT]\r\nIPC_FANS=1\r\n"},
        {L"IPC_FANS", L"3", false, ValuesFileWriter::Outcome::Written, 4, 0,
         "[VEXA_CURRENT]\r\nIPC_FANS=3\r\nMESSAGE_1=2Shutdown failure!\r\n"},
    };
    for (std::size_t i = 0; i < std::size(cycles); ++i) {
        const auto& cycle = cycles[i];
        SCOPED_TRACE(i);
        if (cycle.key != nullptr) {
            writer.SetValue(L"VEXA_CURRENT", cycle.key, cycle.value);
            EXPECT_EQ(writer.Read(L"VEXA_CURRENT", cycle.key, file), cycle.value);
        }
        replaced.fail = cycle.fail;
        EXPECT_EQ(writer.Flush(file), cycle.outcome);
        EXPECT_EQ(replaced.writes, cycle.replacements);
        EXPECT_EQ(writer.Pending(), cycle.pending);
        EXPECT_EQ(folder.Read(L"VexaValues.ini"), cycle.file);
    }
    EXPECT_EQ(writer.Read(L"VEXA_CURRENT", L"MESSAGE_1", file), L"2Shutdown failure!");
}

// A file that exists but cannot be read is not written over: its other keys would be lost.
TEST(ValuesFileWriter, AFolderInThePlaceOfTheFileIsNotWrittenOver)
{
    const testing_support::TempFolder folder;
    ValuesFileWriter writer;
    writer.SetValue(L"VEXA_CURRENT", L"IPC_FANS", L"1");
    EXPECT_EQ(writer.Flush(folder.Path()), ValuesFileWriter::Outcome::Failed);
    EXPECT_EQ(writer.Pending(), 1u);
}

}  // namespace
