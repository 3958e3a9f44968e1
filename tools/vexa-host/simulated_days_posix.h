#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/clock.h"
#include "platform/seam.h"

namespace host {

// A calendar clock for simulated days: it starts the given number of days before the real time
// and moves on only by the pauses between the monitor's cycles, which take no real time. The
// broadcast's timers, the snapshot's time and the heartbeat's time stamp advance as if the pauses
// had been waited out, and the run ends at about the real time, so that the files it leaves (the
// drive record) fit a later run on the real clock.
class SimulatedClock : public platform::Clock {
public:
    explicit SimulatedClock(long p_nDaysBack);
    std::int64_t Now() override;
    std::chrono::milliseconds RealWait(std::chrono::milliseconds pause) override;

private:
    std::atomic<std::int64_t> m_nMilliseconds;
};

// The figures of a run of simulated days (vexa-host --simulate-days D): after every day of cycles
// at the cycle time (8,640 cycles of 10 s) one line on standard output with the process's
// resident memory, open descriptors, the sizes of the log (Vexa.log and Vexa.log.1), of the values
// file, of the metrics file and of the drive record, the bytes written since the start and the
// processor time a cycle of that day; after the run the summary line with the system disk's
// forecast. It also stands in for the probe tool: before every cycle the last line of the probe's
// history file changes (the bytes it writes for that are not counted); and, given a wear a day,
// for the system disk's ageing: once a simulated day its percentage used rises by that much and
// its power-on hours by 24.
class SimulatedDays {
public:
    // Puts the simulated clock in place for the life of the object.
    SimulatedDays(long p_nDays, std::optional<double> p_WearPerDay,
                  std::optional<std::string> p_SmartDir);

    // Before the first cycle, on the main thread: the files to measure, the history file, the
    // system disk's file and the cycles of a day.
    void Begin();
    // The cycles of the whole run.
    long Cycles() const { return m_nDays * m_nCyclesADay; }
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
        std::uint64_t recordBytes = 0;
        std::uint64_t written = 0;
        double cpuSeconds = 0;
    };
    Figures Measure() const;
    void ReportCycle();
    void ChangeHistoryLine();
    void FindSystemDisk();
    void AgeSystemDisk(long p_nDay);

    long m_nDays;
    long m_nCyclesADay = 8640;
    std::optional<double> m_WearPerDay;
    std::optional<std::string> m_SmartDir;
    // The system disk's file and where its percentage used (one byte) and its power-on hours
    // (little-endian) lie in it; the values at the start.
    std::string m_strDiskFile;
    long m_nWearOffset = -1;
    long m_nHoursOffset = -1;
    int m_nHoursBytes = 0;
    int m_nWearAtStart = 0;
    std::uint64_t m_nHoursAtStart = 0;
    std::string m_strRecordFile;
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
