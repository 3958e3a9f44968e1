// One probe update against a small and a large history file: the update reads the last line
// from the end of the file, so its cost must not grow with the file.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <fstream>
#include <string>

#include "acquisition/mb_probe.h"
#include "common/temp_folder.h"
#include "platform/text.h"

namespace {

const char kLine[] =
    "2024-05-01 10:00:00 1.25 1.5 5.02 3.3 5.05 12.1 5 12 3.1 41 43 38 30 2500 2600 0\n";

// A history file of about `bytes` bytes, and Computer.ini naming it.
class ProbeSetup {
public:
    explicit ProbeSetup(std::uint64_t bytes)
    {
        {
            std::ofstream history(platform::WideToAnsi(m_folder.Path(L"history.txt")),
                                  std::ios::binary);
            std::string block;
            while (block.size() < (1u << 20)) {
                block += kLine;
            }
            std::uint64_t written = 0;
            while (written + block.size() <= bytes) {
                history << block;
                written += block.size();
            }
            while (written + sizeof kLine - 1 <= bytes || written == 0) {
                history << kLine;
                written += sizeof kLine - 1;
            }
        }
        m_folder.Write(L"Computer.ini", "[MbProbe]\r\nHistoryFile=" +
                                            platform::WideToAnsi(m_folder.Path(L"history.txt")) +
                                            "\r\nFan2_CondVar=Temp3\r\nFan2_CondVal=30\r\n");
    }

    testing_support::TempFolder m_folder;
    testing_support::ScopedEnvironmentVariable m_computerIni{L"COMPUTER_INI",
                                                             m_folder.Path(L"Computer.ini")};
};

void BM_ProbeUpdate(benchmark::State& state)
{
    const ProbeSetup setup(static_cast<std::uint64_t>(state.range(0)));
    MBDataAquisition::MBProbe probe;
    for (auto _ : state) {
        probe.Update();
        benchmark::DoNotOptimize(probe.m_mapFan);
    }
    if (probe.GetFan(0) != 2501 || probe.GetVoltage(2) != 501) {
        state.SkipWithError("the probe did not read the last line");
    }
}

BENCHMARK(BM_ProbeUpdate)->Arg(1 << 10)->Arg(100 << 20)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
