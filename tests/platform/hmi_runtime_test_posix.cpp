#include <gtest/gtest.h>

#include <memory>

#include "platform/hmi_runtime.h"

namespace {

// Without a runtime of its own the posix build reaches the in-process substitute, which knows
// every name.
TEST(HmiRuntimePosix, TheSystemRuntimeIsASubstituteThatKnowsEveryName)
{
    std::shared_ptr<platform::HmiObject> object;
    EXPECT_TRUE(platform::HmiRuntime::System().GetRunningObject(object));
    ASSERT_NE(object, nullptr);
    std::shared_ptr<platform::HmiControl> control;
    ASSERT_EQ(object->QueryControl(control), platform::kSOk);
    std::int32_t varNo = 0;
    EXPECT_EQ(control->CheckInByName(0, L"any_variable", platform::MessageMode::OnNever, 0, varNo),
              platform::kSOk);
    EXPECT_GT(varNo, 0);
    EXPECT_EQ(control->CheckOut(0, varNo), platform::kSOk);
}

}  // namespace
