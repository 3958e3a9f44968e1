// Per-cycle cost of the UPS event-log scan with a small and a large Application log. Each cycle
// one record arrives and, the log being full, the oldest one is overwritten, as in a log that
// has reached its size limit.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "acquisition/shutdown_event_scan.h"
#include "standins/memory_event_log.h"

namespace {

void Fill(platform::MemoryEventLog& log, std::int64_t records)
{
    log.SetCapacity(static_cast<std::size_t>(records));
    for (std::int64_t i = 0; i < records; ++i) {
        const bool counting = i % 10 == 0;
        log.Append(4, counting ? (i % 50 == 0 ? 67 : 69) : 7036,
                   counting ? L"TwinCAT System" : L"Service Control Manager");
    }
}

void BM_IncrementalScanCycle(benchmark::State& state)
{
    platform::MemoryEventLog log;
    Fill(log, state.range(0));
    MBDataAquisition::ShutdownEventScan scan;
    scan.Scan(log);  // warm-up: the first scan reads the whole log
    std::uint32_t i = 0;
    for (auto _ : state) {
        log.Append(4, ++i % 3 == 0 ? 69 : 7036, L"TwinCAT System");
        scan.Scan(log);
        benchmark::DoNotOptimize(scan.Counter());
    }
}
BENCHMARK(BM_IncrementalScanCycle)->Arg(100)->Arg(100000);

// The reading of the whole log that every cycle would otherwise make.
void BM_FullScanCycle(benchmark::State& state)
{
    platform::MemoryEventLog log;
    Fill(log, state.range(0));
    std::uint32_t i = 0;
    for (auto _ : state) {
        log.Append(4, ++i % 3 == 0 ? 69 : 7036, L"TwinCAT System");
        MBDataAquisition::ShutdownEventScan scan;
        scan.Scan(log);
        benchmark::DoNotOptimize(scan.Counter());
    }
}
BENCHMARK(BM_FullScanCycle)->Arg(100)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
