#include "service/worker_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <new>
#include <thread>

#include "failing_allocations.h"

namespace servicetest {
namespace {

using namespace std::chrono_literals;

// A start that runs out of memory at any of its allocations either fails as a whole (no thread
// runs, nothing is counted as live, the owner has nothing to join) or succeeds as a whole.
TEST(WorkerThreadTest, AStartThatRunsOutOfMemoryAtAnyPointLeavesNoThreadBehind)
{
    bool l_bStartedOnce = false;
    for (long l_nAllowed = 0; l_nAllowed < 64 && !l_bStartedOnce; ++l_nAllowed) {
        SCOPED_TRACE(l_nAllowed);
        auto l_pRuns = std::make_shared<std::atomic<int>>(0);
        service::WorkerThread l_Thread;
        bool l_bStarted = false;
        {
            FailingAllocations l_Failing(l_nAllowed);
            try {
                l_bStarted = l_Thread.Start([l_pRuns] { ++*l_pRuns; });
            } catch (const std::bad_alloc&) {
                // Only making the body's function object may fail this way, before any thread.
            }
        }
        if (l_bStarted) {
            l_bStartedOnce = true;
            EXPECT_TRUE(l_Thread.Join(10s));
            EXPECT_EQ(*l_pRuns, 1);
            continue;
        }
        EXPECT_FALSE(l_Thread.IsStarted());
        // A thread made before the failure would have run its body by now.
        std::this_thread::sleep_for(100ms);
        EXPECT_EQ(*l_pRuns, 0);
        EXPECT_EQ(service::LiveWorkerThreads(), 0);
    }
    EXPECT_TRUE(l_bStartedOnce);
}

}  // namespace
}  // namespace servicetest
