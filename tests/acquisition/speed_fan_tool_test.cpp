#include <gtest/gtest.h>

#include <chrono>

#include "acquisition/sensor_names.h"
#include "acquisition/speed_fan.h"
#include "common/child_process.h"
#include "common/scoped_directory.h"

namespace MBDataAquisition {
namespace {

// The writer tool holds the block in another process, as the sensor tool does.
TEST(SpeedFanTool, ReaderSeesTheBlockOfAnotherProcess)
{
    const vexa_test::ScopedWorkingDirectory folder;
    const auto ready = folder.Path() / "ready";
    const vexa_test::ChildProcess tool(
        VEXA_SENSOR_MEMORY_TOOL, {"--fan", "0=2500", "--fan", "31=1800", "--temp", "0=4100",
                                  "--temp", "5=-40", "--seconds", "60", "--ready", ready.string()});
    ASSERT_TRUE(tool.Started());
    ASSERT_TRUE(vexa_test::WaitForFile(ready, std::chrono::seconds(30)));

    SensorNames = SensorNameTable{};
    SpeedFan source;
    source.Update();
    EXPECT_EQ(source.GetFan(0), 2500);
    EXPECT_EQ(source.GetFan(31), 1800);
    EXPECT_EQ(source.GetTemp(0), 4100);
    EXPECT_EQ(source.GetTemp(5), -40);
    EXPECT_EQ(source.m_mapFan.at(L"Fan0"), 2500u);
    EXPECT_EQ(source.GetFan(1), 0);
    SensorNames = SensorNameTable{};
}

}  // namespace
}  // namespace MBDataAquisition
