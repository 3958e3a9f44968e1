#include <gtest/gtest.h>

#include <string>

#include "host_run.h"

namespace {

// A run whose every ended cycle failed has exit status 4 and says why; any good cycle, or no
// cycle at all, leaves the run's status to the rest.
TEST(CycleOutcome, EveryCycleFailedGivesItsOwnExitStatusAndTheReason)
{
    const struct {
        std::uint64_t cycles;
        std::uint64_t failed;
        int status;
        std::string said;
    } cases[] = {
        {0, 0, 0, ""},
        {3, 2, 0, ""},
        {3, 3, 4, "vexa-host: no cycle succeeded (3 failed); the first failed: boom (at X)\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.failed << " of " << c.cycles);
        testing::internal::CaptureStderr();
        EXPECT_EQ(host::CheckCycleOutcome(c.cycles, c.failed, L"boom (at X)"), c.status);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.said);
    }
}

}  // namespace
