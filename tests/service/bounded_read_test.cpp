#include "service/bounded_read.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "fakes/log_capture.h"
#include "service/worker_thread.h"
#include "worker_fixture.h"

namespace servicetest {
namespace {

using service::BoundedRead;
using namespace std::chrono_literals;

constexpr auto kDeadline = 50ms;

// A source whose chosen reads hang until the test opens their gate.
struct HangingSource {
    std::atomic<int> m_nReads{0};
    std::atomic<int> m_nValue{0};
    Gate m_Gate;
    int m_nHangingRead = 1;  // the read that hangs
};

bool WaitForReadersToEnd()
{
    for (int i = 0; i < 1000 && service::LiveReaderThreads() != 0; ++i) {
        std::this_thread::sleep_for(10ms);
    }
    return service::LiveReaderThreads() == 0;
}

// Cycle by cycle against a read that hangs: each cycle keeps its pace, the hanging read blocks
// the source, no second read starts while it hangs, and its late result is the next cycle's.
TEST(BoundedRead, AHungReadBlocksItsSourceUntilItReturns)
{
    const fakes::LogCapture log(0);
    auto source = std::make_shared<HangingSource>();
    BoundedRead read(L"Drive 0", [source]() {
        const int number = ++source->m_nReads;
        if (number == source->m_nHangingRead) {
            source->m_Gate.Wait(60s);
        }
        source->m_nValue = number;
    });
    const struct {
        bool release;  // the hanging read returns before the cycle
        bool ended;
        int reads;
        int value;
        const char* logged;  // the log's last message after the cycle
    } cycles[] = {
        {false, false, 1, 0, "Drive 0 has not answered for 1 s"},
        {false, false, 1, 0, "Drive 0 has not answered for 1 s"},  // told once; no second read
        {true, true, 1, 1, "Drive 0 answered again after 0 s"},    // the late result
        {false, true, 2, 2, "Drive 0 answered again after 0 s"},   // reads anew
    };
    for (std::size_t i = 0; i < std::size(cycles); ++i) {
        const auto& cycle = cycles[i];
        SCOPED_TRACE(i);
        if (cycle.release) {
            source->m_Gate.Open();
            std::this_thread::sleep_for(20ms);
        }
        const auto began = BoundedRead::Clock::now();
        read.Begin();
        EXPECT_EQ(read.Wait(began + kDeadline), cycle.ended);
        // The cycle goes on at its deadline, whatever the read does (with room for a busy machine).
        EXPECT_LT(BoundedRead::Clock::now() - began, kDeadline + 2s);
        EXPECT_EQ(read.IsBlocked(), !cycle.ended);
        EXPECT_EQ(source->m_nReads, cycle.reads);
        EXPECT_EQ(source->m_nValue, cycle.value);
        const std::string text = log.Normalized(true);
        EXPECT_EQ(text.substr(text.rfind("\t\t") + 2), std::string(cycle.logged) + "\r\n");
    }
    EXPECT_EQ(read.Reads(), 2u);
}

// A stop while a read hangs does not wait for it: the owner goes, the read returns later to a
// source that it still holds, and its thread then ends.
TEST(BoundedRead, TheOwnerGoesWithoutWaitingForAHungRead)
{
    auto source = std::make_shared<HangingSource>();
    {
        BoundedRead read(L"The probe's history file", [source]() {
            ++source->m_nReads;
            source->m_Gate.Wait(60s);
            source->m_nValue = 7;
        });
        read.Begin();
        EXPECT_FALSE(read.Wait(BoundedRead::Clock::now() + kDeadline));
        EXPECT_EQ(service::LiveReaderThreads(), 1);
        EXPECT_EQ(service::LiveWorkerThreads(), 0);
    }
    source->m_Gate.Open();
    EXPECT_TRUE(WaitForReadersToEnd());
    EXPECT_EQ(source->m_nValue, 7);
}

// What a read throws reaches the cycle that waits for it.
TEST(BoundedRead, WhatAReadThrowsReachesTheWaitingCycle)
{
    BoundedRead read(L"The drives", []() { throw std::runtime_error("Impersonation failed!"); });
    read.Begin();
    EXPECT_THROW(read.Wait(BoundedRead::Clock::now() + 10s), std::runtime_error);
    EXPECT_FALSE(read.IsBlocked());
}

}  // namespace
}  // namespace servicetest
