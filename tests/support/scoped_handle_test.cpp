#include "support/scoped_handle.h"

#include <gtest/gtest.h>

#include <vector>

namespace utils {
namespace {

class ScopedHandleTest : public testing::Test {
protected:
    ScopedHandle::CloseFunction Recorder()
    {
        return [this](platform::Handle handle) { m_closed.push_back(handle); };
    }
    std::vector<platform::Handle> m_closed;
};

TEST_F(ScopedHandleTest, LastCopyClosesOnce)
{
    {
        ScopedHandle first(42, Recorder());
        {
            const ScopedHandle second =
                first;  // NOLINT(performance-unnecessary-copy-initialization)
            EXPECT_EQ(second.Get(), 42);
            EXPECT_TRUE(second.IsValid());
        }
        EXPECT_TRUE(m_closed.empty());
    }
    EXPECT_EQ(m_closed, std::vector<platform::Handle>{42});
}

TEST_F(ScopedHandleTest, AssignmentReleasesThePreviousHandle)
{
    ScopedHandle held(1, Recorder());
    held = ScopedHandle(2, Recorder());
    EXPECT_EQ(m_closed, std::vector<platform::Handle>{1});
    EXPECT_EQ(held.Get(), 2);
}

TEST_F(ScopedHandleTest, FailedCallsOwnNothing)
{
    {
        const ScopedHandle invalid(platform::kInvalidHandle, Recorder());
        const ScopedHandle null(platform::kNullHandle, Recorder());
        EXPECT_FALSE(invalid.IsValid());
        EXPECT_FALSE(null.IsValid());
    }
    EXPECT_TRUE(m_closed.empty());
}

TEST_F(ScopedHandleTest, ThrowingCloseDoesNotEscape)
{
    EXPECT_NO_THROW({ const ScopedHandle handle(7, [](platform::Handle) { throw 1; }); });
}

}  // namespace
}  // namespace utils
