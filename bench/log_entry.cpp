// The cost of one log call: a line above the current level must cost no formatting (the level
// test comes first); a written line is formatted in memory and written and flushed in one piece.

#include <benchmark/benchmark.h>

#include "fakes/log_capture.h"
#include "logging/log.h"

namespace {

const std::wstring kLocation = L"MBDataContainer::DataList::Update  line: 120";

void SuppressedLine(benchmark::State& state)
{
    fakes::LogCapture log(0);
    for (auto _ : state) {
        dbg::LogLine(kLocation, 3, L"Update of the sensor fields");
    }
}
BENCHMARK(SuppressedLine);

void SuppressedValueLine(benchmark::State& state)
{
    fakes::LogCapture log(0);
    std::int32_t value = 0;
    for (auto _ : state) {
        dbg::LogValueLine(kLocation, 5, L"m_nSetpoint", value++);
    }
}
BENCHMARK(SuppressedValueLine);

void WrittenLine(benchmark::State& state)
{
    fakes::LogCapture log(3);
    for (auto _ : state) {
        dbg::LogLine(kLocation, 3, L"Update of the sensor fields");
    }
}
BENCHMARK(WrittenLine);

}  // namespace

BENCHMARK_MAIN();
