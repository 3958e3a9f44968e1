#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>

#include "platform/clock.h"
#include "platform/seam.h"

namespace host {

// A calendar clock for simulated days: it starts at the real time and moves on only by the
// pauses between the monitor's cycles, which take no real time. The broadcast's timers, the
// snapshot's time and the heartbeat's time stamp advance as if the pauses had been waited out.
class SimulatedClock : public platform::Clock {
public:
    SimulatedClock();
    std::int64_t Now() override;
    std::chrono::milliseconds RealWait(std::chrono::milliseconds pause) override;

private:
    std::atomic<std::int64_t> m_nMilliseconds;
};

// The figures of a run of simulated days (vexa-host --simulate-days D): after every 8,640 cycles
// (a day of 10-second cycles) one line on standard output with the process's resident memory,
// open descriptors, the sizes of the log (Vexa.log and Vexa.log.1), of the values file and of the
// metrics file, the bytes written since the start and the processor time a cycle of that day;
// after the run the summary line. It also stands in for the probe tool: before every cycle the
// last line of the probe's history file changes (the bytes it writes for that are not counted).
class SimulatedDays {
public:
    static constexpr long kCyclesADay = 8640;

    // Puts the simulated clock in place for the life of the object.
    SimulatedDays();

    // Before the first cycle, on the main thread: the files to measure and the history file.
    void Begin();
    // After each cycle, on the worker thread.
    void CycleCompleted() noexcept;
    // After the run: the summary line.
    void PrintSummary() const;

private:
    struct Figures {
        long rssKiB = 0;
        long descriptors = 0;
        std::uint64_t logBytes = 0;
        std::uint64_t valuesBytes = 0;
        std::uint64_t metricsBytes = 0;
        std::uint64_t written = 0;
        double cpuSeconds = 0;
    };
    Figures Measure() const;
    void ReportCycle();
    void ChangeHistoryLine();

    SimulatedClock m_Clock;
    platform::Substitute<platform::Clock> m_ClockInPlace{m_Clock};
    long m_nCycles = 0;
    std::string m_strLog;
    std::string m_strValuesFile;
    std::string m_strMetricsFile;
    std::string m_strHistoryFile;
    std::uint64_t m_nHistoryOffset = 0;
    std::uint64_t m_nHistoryBytes = 0;
    std::uint64_t m_nWrittenAtStart = 0;
    double m_dCpuAtStart = 0;
    double m_dCpuAtDayStart = 0;
    Figures m_DayOne;
    Figures m_Last;
};

}  // namespace host
