#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/temp_folder.h"
#include "standins/hmi_substitute.h"

namespace {

using platform::HResult;
using platform::MessageMode;
using platform::SubstituteHmiRuntime;
using platform::VisiVariant;

VisiVariant Int32(std::int32_t value)
{
    VisiVariant variant;
    variant.vt = platform::kVisiTypeInt32;
    variant.lVal = value;
    return variant;
}

std::shared_ptr<platform::HmiControl> Connected(SubstituteHmiRuntime& runtime)
{
    std::shared_ptr<platform::HmiObject> object;
    EXPECT_TRUE(runtime.GetRunningObject(object));
    std::shared_ptr<platform::HmiControl> control;
    EXPECT_EQ(object->QueryControl(control), platform::kSOk);
    return control;
}

TEST(SubstituteHmiRuntime, WithoutAListEveryNameChecksInWithTheNextNumber)
{
    SubstituteHmiRuntime runtime;
    auto control = Connected(runtime);
    std::int32_t first = 0;
    std::int32_t second = 0;
    std::int32_t again = 0;
    EXPECT_EQ(control->CheckInByName(0, L"mb_fan_1", MessageMode::OnNever, 0, first), 0);
    EXPECT_EQ(control->CheckInByName(0, L"mb_fan_1_set", MessageMode::OnNever, 0, second), 0);
    EXPECT_EQ(control->CheckInByName(0, L"mb_fan_1", MessageMode::OnNever, 0, again), 0);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 2);
    EXPECT_EQ(again, 1);
}

TEST(SubstituteHmiRuntime, AListLimitsTheNamesAndNumbersThemByPosition)
{
    SubstituteHmiRuntime runtime;
    runtime.SetKnownNames({L"mb_vbat", L"mb_vbat_set", L"mb_fan_0"});
    auto control = Connected(runtime);
    std::int32_t varNo = -1;
    EXPECT_EQ(control->CheckInByName(0, L"mb_fan_0", MessageMode::OnNever, 0, varNo), 0);
    EXPECT_EQ(varNo, 3);
    EXPECT_LT(control->CheckInByName(0, L"mb_fan_9", MessageMode::OnNever, 0, varNo), 0);
    EXPECT_EQ(varNo, 0);
    EXPECT_LT(control->CheckInByName(0, L"MB_VBAT", MessageMode::OnNever, 0, varNo), 0)
        << "names are matched exactly";
}

TEST(SubstituteHmiRuntime, RecordsEveryCallInOrderAndKeepsValues)
{
    SubstituteHmiRuntime runtime;
    runtime.KeepTrace();
    runtime.SetKnownNames({L"a", L"b"});
    auto control = Connected(runtime);
    std::int32_t varNo = 0;
    control->Connect(0);
    control->CheckInByName(0, L"b", MessageMode::OnNever, 0, varNo);
    control->CheckInByName(0, L"zz", MessageMode::OnNever, 0, varNo);
    control->SetValue(2, Int32(-5));
    control->SetValue(2, Int32(2147483647));
    control->CheckOut(0, 2);
    control->Disconnect(0);
    EXPECT_EQ(runtime.Trace(),
              (std::vector<std::string>{"connect", "checkin b 2", "checkin-failed zz", "set b -5",
                                        "set b 2147483647", "checkout b", "disconnect"}));
    EXPECT_EQ(runtime.ValueOf(L"b"), 2147483647);
    EXPECT_FALSE(runtime.ValueOf(L"a").has_value());
}

TEST(SubstituteHmiRuntime, RejectsWritesToUnknownNumbersOtherTypesAndWhenToldTo)
{
    SubstituteHmiRuntime runtime;
    runtime.KeepTrace();
    auto control = Connected(runtime);
    std::int32_t varNo = 0;
    control->CheckInByName(0, L"x", MessageMode::OnNever, 0, varNo);
    EXPECT_LT(control->SetValue(7, Int32(1)), 0);
    VisiVariant text = Int32(1);
    text.vt = 8;
    EXPECT_LT(control->SetValue(varNo, text), 0);
    runtime.SetWriteResult(platform::kEFail);
    EXPECT_EQ(control->SetValue(varNo, Int32(4)), platform::kEFail);
    EXPECT_FALSE(runtime.ValueOf(L"x").has_value());
    EXPECT_EQ(runtime.Trace(), (std::vector<std::string>{"checkin x 1"}));
    EXPECT_LT(control->CheckOut(0, 9), 0);
}

TEST(SubstituteHmiRuntime, NotRunningFindsNothing)
{
    SubstituteHmiRuntime runtime;
    runtime.SetRunning(false);
    std::shared_ptr<platform::HmiObject> object;
    EXPECT_FALSE(runtime.GetRunningObject(object));
    EXPECT_EQ(object, nullptr);
}

TEST(SubstituteHmiRuntime, AppendsTheTraceToAFileLineByLine)
{
    const testing_support::TempFolder folder;
    folder.Write(L"hmi_trace.txt", "earlier\n");
    const std::filesystem::path file(folder.Path(L"hmi_trace.txt"));
    {
        SubstituteHmiRuntime runtime;
        ASSERT_TRUE(runtime.SetTraceFile(file));
        auto control = Connected(runtime);
        std::int32_t varNo = 0;
        control->Connect(0);
        control->CheckInByName(0, L"mb_temp_2", MessageMode::OnNever, 0, varNo);
        control->SetValue(varNo, Int32(45));
        // Readable while the runtime still runs.
        std::ifstream partial(file, std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(partial)),
                               std::istreambuf_iterator<char>());
        EXPECT_EQ(text, "earlier\nconnect\ncheckin mb_temp_2 1\nset mb_temp_2 45\n");
    }
}

TEST(SubstituteHmiRuntime, KeepsNoTraceLinesInMemoryUnlessAsked)
{
    const testing_support::TempFolder folder;
    const std::filesystem::path file(folder.Path(L"hmi_trace.txt"));
    SubstituteHmiRuntime runtime;
    ASSERT_TRUE(runtime.SetTraceFile(file));
    auto control = Connected(runtime);
    std::int32_t varNo = 0;
    control->CheckInByName(0, L"mb_temp_2", MessageMode::OnNever, 0, varNo);
    for (int cycle = 0; cycle < 1000; ++cycle) {
        control->SetValue(varNo, Int32(cycle));
    }
    EXPECT_TRUE(runtime.Trace().empty());
    EXPECT_EQ(runtime.ValueOf(L"mb_temp_2"), 999);
    std::ifstream written(file, std::ios::binary);
    std::string line;
    std::string last;
    int lines = 0;
    while (std::getline(written, line)) {
        ++lines;
        last = line;
    }
    EXPECT_EQ(lines, 1001);
    EXPECT_EQ(last, "set mb_temp_2 999");
}

TEST(SubstituteHmiRuntime, AnUnwritableTraceFileIsReported)
{
    SubstituteHmiRuntime runtime;
    EXPECT_FALSE(
        runtime.SetTraceFile(std::filesystem::temp_directory_path() / "no-such-dir" / "trace.txt"));
}

TEST(SubstituteHmiRuntime, TheControlOutlivesTheRuntimeObject)
{
    std::shared_ptr<platform::HmiControl> control;
    {
        SubstituteHmiRuntime runtime;
        control = runtime.Control();
    }
    EXPECT_EQ(control->Connect(0), platform::kSOk);
}

}  // namespace
