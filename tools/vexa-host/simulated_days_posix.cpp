#include "simulated_days_posix.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "broadcast/last_snapshot.h"
#include "broadcast/metrics_file.h"
#include "data/drive_record_keeper.h"
#include "logging/log_file_path.h"
#include "platform/posix/native_path_posix.h"
#include "platform/text.h"
#include "support/local_time.h"
#include "settings/cycle_time.h"
#include "settings/sensor_source.h"
#include "settings/settings.h"
#include "settings/values_file.h"

namespace host {
namespace {

// A number after `label` in a /proc file of "label value" lines; 0 when missing.
std::uint64_t ProcField(const char* p_szFile, const std::string& p_strLabel)
{
    std::ifstream l_File(p_szFile);
    std::string l_strLine;
    while (std::getline(l_File, l_strLine)) {
        if (l_strLine.compare(0, p_strLabel.size(), p_strLabel) == 0) {
            return std::strtoull(l_strLine.c_str() + p_strLabel.size(), nullptr, 10);
        }
    }
    return 0;
}

long OpenDescriptors()
{
    long l_nCount = 0;
    if (DIR* l_pDir = opendir("/proc/self/fd")) {
        while (const dirent* l_pEntry = readdir(l_pDir)) {
            if (l_pEntry->d_name[0] != '.') {
                ++l_nCount;
            }
        }
        closedir(l_pDir);
        --l_nCount;  // the listing's own
    }
    return l_nCount;
}

std::uint64_t FileSize(const std::string& p_strPath)
{
    std::error_code l_Error;
    const std::uintmax_t l_nSize = std::filesystem::file_size(p_strPath, l_Error);
    return l_Error ? 0 : static_cast<std::uint64_t>(l_nSize);
}

double CpuSeconds()
{
    rusage l_Usage{};
    getrusage(RUSAGE_SELF, &l_Usage);
    return static_cast<double>(l_Usage.ru_utime.tv_sec + l_Usage.ru_stime.tv_sec) +
           static_cast<double>(l_Usage.ru_utime.tv_usec + l_Usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

SimulatedClock::SimulatedClock(long p_nDaysBack)
    : m_nMilliseconds(std::chrono::duration_cast<std::chrono::milliseconds>(
                          std::chrono::system_clock::now().time_since_epoch())
                          .count() -
                      static_cast<std::int64_t>(p_nDaysBack) * 86400000)
{
}

std::int64_t SimulatedClock::Now()
{
    return m_nMilliseconds.load() / 1000;
}

std::chrono::milliseconds SimulatedClock::RealWait(std::chrono::milliseconds pause)
{
    m_nMilliseconds += pause.count();
    return std::chrono::milliseconds(0);
}

SimulatedDays::SimulatedDays(long p_nDays, std::optional<double> p_WearPerDay,
                             std::optional<std::string> p_SmartDir)
    : m_nDays(p_nDays),
      m_WearPerDay(p_WearPerDay),
      m_SmartDir(std::move(p_SmartDir)),
      m_Clock(p_nDays)
{
}

// The drive that SystemDrive names (drive 0 without it): an NVMe page holds the percentage used
// at byte 5 and the power-on hours at byte 128; an ATA drive's Device Statistics log the
// percentage used in page 7 and the power-on hours in attribute 9 of its attribute block.
void SimulatedDays::FindSystemDisk()
{
    if (!m_WearPerDay || !m_SmartDir) {
        return;
    }
    long l_nDrive = 0;
    std::ifstream l_System(*m_SmartDir + "/SystemDrive");
    l_System >> l_nDrive;
    const std::string l_strBase = *m_SmartDir + "/PhysicalDrive" + std::to_string(l_nDrive);
    if (FileSize(l_strBase + ".nvme") >= 512) {
        m_strDiskFile = l_strBase + ".nvme";
        m_nWearOffset = 5;
        m_nHoursOffset = 128;
        m_nHoursBytes = 8;
    } else if (FileSize(l_strBase + ".devstat") >= 8 * 512) {
        m_strDiskFile = l_strBase + ".devstat";
        m_nWearOffset = 7 * 512 + 8;
    } else {
        std::cerr << "vexa-host: --wear-per-day: no .nvme page or .devstat log of drive "
                  << l_nDrive << " in " << *m_SmartDir << "\n";
        return;
    }
    std::ifstream l_File(m_strDiskFile, std::ios::binary);
    std::string l_strBytes((std::istreambuf_iterator<char>(l_File)),
                           std::istreambuf_iterator<char>());
    m_nWearAtStart =
        static_cast<unsigned char>(l_strBytes[static_cast<std::size_t>(m_nWearOffset)]);
    for (int i = m_nHoursBytes - 1; i >= 0; --i) {
        m_nHoursAtStart =
            m_nHoursAtStart << 8 |
            static_cast<unsigned char>(l_strBytes[static_cast<std::size_t>(m_nHoursOffset + i)]);
    }
}

void SimulatedDays::AgeSystemDisk(long p_nDay)
{
    if (m_strDiskFile.empty()) {
        return;
    }
    const int l_nFile = open(m_strDiskFile.c_str(), O_WRONLY);
    if (l_nFile < 0) {
        return;
    }
    const double l_dWear =
        std::min(255.0, m_nWearAtStart + *m_WearPerDay * static_cast<double>(p_nDay));
    const unsigned char l_nWear = static_cast<unsigned char>(l_dWear);
    ssize_t l_nWritten = pwrite(l_nFile, &l_nWear, 1, m_nWearOffset);
    if (m_nHoursBytes > 0) {
        std::uint64_t l_nHours = m_nHoursAtStart + 24 * static_cast<std::uint64_t>(p_nDay);
        unsigned char l_Hours[8];
        for (int i = 0; i < 8; ++i, l_nHours >>= 8) {
            l_Hours[i] = static_cast<unsigned char>(l_nHours & 0xFF);
        }
        l_nWritten +=
            pwrite(l_nFile, l_Hours, static_cast<std::size_t>(m_nHoursBytes), m_nHoursOffset);
    }
    if (l_nWritten > 0) {
        m_nHistoryBytes += static_cast<std::uint64_t>(l_nWritten);
    }
    close(l_nFile);
}

void SimulatedDays::Begin()
{
    m_nCyclesADay = static_cast<long>(86400000 / ReadCycleTime().pause.count());
    m_strRecordFile = platform::posix::NativePath(MBDataContainer::ReadDriveRecordPath());
    FindSystemDisk();
    m_strLog = platform::posix::NativePath(dbg::LogFilePath());
    m_strValuesFile = platform::posix::NativePath(GetValuesFilePath());
    m_strMetricsFile = platform::posix::NativePath(MBBroadcast::ReadMetricsFilePath());
    m_strHistoryFile = platform::posix::NativePath(ReadHistoryFilePath());
    std::ifstream l_History(m_strHistoryFile, std::ios::binary);
    const std::string l_strText((std::istreambuf_iterator<char>(l_History)),
                                std::istreambuf_iterator<char>());
    const std::size_t l_nEnd = l_strText.find_last_not_of("\r\n");
    if (l_nEnd != std::string::npos) {
        const std::size_t l_nStart = l_strText.rfind('\n', l_nEnd);
        m_nHistoryOffset = l_nStart == std::string::npos ? 0 : l_nStart + 1;
    }
    m_nWrittenAtStart = ProcField("/proc/self/io", "wchar:");
    m_dCpuAtStart = CpuSeconds();
    m_dCpuAtDayStart = m_dCpuAtStart;
    ChangeHistoryLine();
}

// The probe tool's latest line: the simulated time, and readings that move every cycle within
// their ok band (a fan's speed, a temperature), in place of the file's last line (the same
// length, so the file keeps its size). The ratings stay as they are, as on a sound machine.
void SimulatedDays::ChangeHistoryLine()
{
    if (m_strHistoryFile.empty()) {
        return;
    }
    const std::string l_strTime = platform::WideToAnsi(utils::LocalTimeText(m_Clock.Now()));
    char l_szLine[160];
    const int l_nChars = std::snprintf(
        l_szLine, sizeof l_szLine,
        "%s 1.21 1.05 5.02 3.31 5.01 12.10 5.00 12.05 3.05 41 38 %2ld 30 2480 2610 %4ld\r\n",
        l_strTime.c_str(), 36 + m_nCycles % 4, 2400 + m_nCycles % 100);
    const int l_nFile = open(m_strHistoryFile.c_str(), O_WRONLY);
    if (l_nFile < 0) {
        return;
    }
    const ssize_t l_nWritten = pwrite(l_nFile, l_szLine, static_cast<std::size_t>(l_nChars),
                                      static_cast<off_t>(m_nHistoryOffset));
    if (l_nWritten > 0) {
        m_nHistoryBytes += static_cast<std::uint64_t>(l_nWritten);
    }
    close(l_nFile);
}

SimulatedDays::Figures SimulatedDays::Measure() const
{
    Figures l_Figures;
    l_Figures.rssKiB = static_cast<long>(ProcField("/proc/self/status", "VmRSS:"));
    l_Figures.descriptors = OpenDescriptors();
    l_Figures.logBytes = FileSize(m_strLog) + FileSize(m_strLog + ".1");
    l_Figures.valuesBytes = FileSize(m_strValuesFile);
    l_Figures.metricsBytes = m_strMetricsFile.empty() ? 0 : FileSize(m_strMetricsFile);
    l_Figures.recordBytes = m_strRecordFile.empty() ? 0 : FileSize(m_strRecordFile);
    l_Figures.written = ProcField("/proc/self/io", "wchar:") - m_nWrittenAtStart - m_nHistoryBytes;
    l_Figures.cpuSeconds = CpuSeconds();
    return l_Figures;
}

void SimulatedDays::CycleCompleted() noexcept
{
    try {
        ReportCycle();
    } catch (...) {
        // A figure that could not be printed is missing from the output; the run goes on.
    }
}

void SimulatedDays::ReportCycle()
{
    ++m_nCycles;
    if (m_nCycles % m_nCyclesADay == 0) {
        const long l_nDay = m_nCycles / m_nCyclesADay;
        AgeSystemDisk(l_nDay);
        const Figures l_Figures = Measure();
        const double l_dCpuPerCycle =
            (l_Figures.cpuSeconds - m_dCpuAtDayStart) * 1e6 / static_cast<double>(m_nCyclesADay);
        m_dCpuAtDayStart = l_Figures.cpuSeconds;
        if (l_nDay == 1) {
            m_DayOne = l_Figures;
        }
        m_Last = l_Figures;
        std::ostringstream l_Line;
        l_Line.setf(std::ios::fixed);
        l_Line.precision(1);
        l_Line << "day " << l_nDay << ": memory " << l_Figures.rssKiB << " KiB, descriptors "
               << l_Figures.descriptors << "; log " << l_Figures.logBytes / 1024
               << " KiB, values file " << l_Figures.valuesBytes << " bytes, metrics file "
               << l_Figures.metricsBytes << " bytes, drive record " << l_Figures.recordBytes
               << " bytes; written " << l_Figures.written / 1e6 << " MB since the start; "
               << l_dCpuPerCycle << " us CPU a cycle\n";
        std::cout << l_Line.str() << std::flush;
    }
    ChangeHistoryLine();
}

void SimulatedDays::PrintSummary() const
{
    const long l_nDays = m_nCycles / m_nCyclesADay;
    if (l_nDays == 0) {
        std::cout << "simulated 0 days (" << m_nCycles << " cycles)\n";
        return;
    }
    std::ostringstream l_Line;
    l_Line.setf(std::ios::fixed);
    l_Line.precision(1);
    l_Line << "simulated " << l_nDays << " days (" << m_nCycles << " cycles): memory "
           << m_DayOne.rssKiB << " KiB after day 1, " << m_Last.rssKiB
           << " KiB at the end; descriptors " << m_DayOne.descriptors << " -> "
           << m_Last.descriptors << "; log " << m_Last.logBytes / 1024 << " KiB; values file "
           << m_Last.valuesBytes << " bytes; drive record " << m_Last.recordBytes
           << " bytes; written " << m_Last.written / 1e6 / l_nDays << " MB a day; "
           << (m_Last.cpuSeconds - m_dCpuAtStart) * 1e6 / static_cast<double>(m_nCycles)
           << " us CPU a cycle";
    if (const std::optional<MBDataContainer::CycleSnapshot> l_Snapshot =
            MBBroadcast::LastSnapshot()) {
        l_Line << "; days left "
               << platform::WideToAnsi(MBDataContainer::DaysLeftText(l_Snapshot->daysLeft));
    }
    std::cout << l_Line.str() << "\n" << std::flush;
}

}  // namespace host
