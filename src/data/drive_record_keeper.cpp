#include "data/drive_record_keeper.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "logging/log.h"
#include "platform/last_error.h"
#include "platform/profile.h"
#include "platform/replaced_file.h"
#include "platform/seam.h"
#include "platform/shared_file.h"
#include "settings/settings.h"
#include "settings/values_file.h"

namespace MBDataContainer {
namespace {

const wchar_t kLoad[] = L"MBDataContainer::DriveRecordKeeper::Load";
const wchar_t kObserve[] = L"MBDataContainer::DriveRecordKeeper::Observe";
const wchar_t kWrite[] = L"MBDataContainer::DriveRecordKeeper::Write";

constexpr std::int64_t kSecondsADay = 86400;
constexpr std::int64_t kRetryPauseSeconds = 3600;
// A record at its bounds is some 50 KB; anything far larger is no record.
constexpr std::uint64_t kMaxRecordBytes = 1 << 20;
constexpr std::size_t kPathBufferChars = 32768;

RecordDay DayOf(std::int64_t p_nSeconds)
{
    return p_nSeconds >= 0 ? p_nSeconds / kSecondsADay : -((-p_nSeconds + 86399) / kSecondsADay);
}

std::wstring DriveName(const DriveHistory& p_Drive)
{
    return p_Drive.model + L" " + p_Drive.serial;
}

}  // namespace

std::wstring ReadDriveRecordPath()
{
    static const wchar_t kUnset[] = L"\x01";
    std::wstring l_strPath = platform::Use<platform::Profile>().GetString(
        L"HDD", L"RecordFile", kUnset, kPathBufferChars, GetModuleIniPath());
    if (l_strPath == kUnset) {
        const std::wstring l_strValues = GetValuesFilePath();
        const std::size_t l_nSlash = l_strValues.find_last_of(L"\\/");
        return (l_nSlash == std::wstring::npos ? std::wstring()
                                               : l_strValues.substr(0, l_nSlash + 1)) +
               L"VexaDriveRecord.txt";
    }
    return l_strPath;
}

DriveRecordKeeper::DriveRecordKeeper(std::wstring p_strPath) : m_strPath(std::move(p_strPath))
{
    if (!m_strPath.empty()) {
        Load();
    }
}

void DriveRecordKeeper::Load()
{
    std::string l_strBytes;
    const platform::WholeFile l_Result =
        platform::ReadWholeFile(m_strPath, l_strBytes, kMaxRecordBytes + 1);
    if (l_Result == platform::WholeFile::Missing) {
        return;
    }
    if (l_Result == platform::WholeFile::Failed) {
        dbg::LogValueLine(VEXA_LOCATION(kLoad), 0, L"l_dwLastError", platform::GetLastErrorCode());
        dbg::LogValueLine(VEXA_LOCATION(kLoad), 0, L"m_strPath", m_strPath);
        dbg::LogErrorLine(VEXA_LOCATION(kLoad),
                          L"Unable to read the drive record; it is left as it is for this run");
        m_strPath.clear();
        return;
    }
    std::optional<DriveRecord> l_Record;
    if (l_strBytes.size() <= kMaxRecordBytes) {
        l_Record = ParseDriveRecord(l_strBytes);
    }
    if (l_Record) {
        m_Record = std::move(*l_Record);
        return;
    }
    const std::wstring l_strAside = m_strPath + L".bad";
    const bool l_bKept = platform::Use<platform::ReplacedFile>().Write(l_strAside, l_strBytes);
    dbg::LogValueLine(VEXA_LOCATION(kLoad), 0, L"m_strPath", m_strPath);
    dbg::LogErrorLine(
        VEXA_LOCATION(kLoad),
        l_bKept ? L"Drive record cut or garbled; kept as " + l_strAside + L", a new record begins"
                : L"Drive record cut or garbled and could not be kept aside; a new "
                  L"record begins");
}

const DriveHistory* DriveRecordKeeper::Current() const
{
    return m_bCurrentKnown && !m_Record.drives.empty() ? &m_Record.drives.back() : nullptr;
}

void DriveRecordKeeper::Observe(const DriveReading& p_Reading, std::int64_t p_nNow)
{
    const RecordDay l_nToday = DayOf(p_nNow);
    const std::wstring l_strModel = RecordedName(p_Reading.model);
    const std::wstring l_strSerial = RecordedName(p_Reading.serial);
    std::vector<DriveHistory>& l_Drives = m_Record.drives;

    // A reading without a serial number (the descriptor gave none this time) is taken for the
    // drive already recorded: a drive unknown by name is no proof of a swap.
    const bool l_bUnnamed = l_strSerial.empty() && !l_Drives.empty();
    if (!l_bUnnamed && (l_Drives.empty() || l_Drives.back().serial != l_strSerial)) {
        const auto l_Known = std::find_if(
            l_Drives.begin(), l_Drives.end(),
            [&l_strSerial](const DriveHistory& p_Drive) { return p_Drive.serial == l_strSerial; });
        DriveHistory l_Drive;
        if (l_Known != l_Drives.end()) {
            l_Drive = std::move(*l_Known);
            l_Drives.erase(l_Known);
        } else {
            l_Drive.serial = l_strSerial;
            l_Drive.firstSeen = l_nToday;
        }
        l_Drive.model = l_strModel;
        if (!l_Drives.empty()) {
            dbg::LogLine(VEXA_LOCATION(kObserve), 0,
                         L"System disk replaced: " + DriveName(l_Drives.back()) + L" -> " +
                             DriveName(l_Drive));
        }
        l_Drives.push_back(std::move(l_Drive));
        if (l_Drives.size() > DriveRecord::kMaxDrives) {
            l_Drives.erase(l_Drives.begin());
        }
        m_bDue = true;
    }
    m_bCurrentKnown = true;

    DriveHistory& l_Drive = l_Drives.back();
    if (!l_bUnnamed) {
        l_Drive.model = l_strModel;
    }
    // A clock set back keeps adding to the latest day, so the days stay in order.
    if (l_Drive.days.empty() || l_Drive.days.back().day < l_nToday) {
        RecordedDay l_Day;
        l_Day.day = std::max(l_nToday, l_Drive.firstSeen);
        l_Drive.days.push_back(l_Day);
        if (l_Drive.days.size() > DriveRecord::kMaxDays) {
            l_Drive.days.erase(l_Drive.days.begin());
        }
        m_bDue = true;
    } else if (l_Drive.days.back().percentageUsed != p_Reading.percentageUsed ||
               l_Drive.days.back().sectorCounters != p_Reading.sectorCounters) {
        m_bDue = true;
    }
    RecordedDay& l_Day = l_Drive.days.back();
    l_Day.powerOnHours = p_Reading.powerOnHours;
    l_Day.percentageUsed = p_Reading.percentageUsed;
    l_Day.sectorCounters = p_Reading.sectorCounters;
    if (p_Reading.temperature &&
        (!l_Day.highestTemperature || *p_Reading.temperature > *l_Day.highestTemperature)) {
        l_Day.highestTemperature = p_Reading.temperature;
    }

    if (m_bDue && !m_strPath.empty() && p_nNow >= m_nRetryAt) {
        Write(p_nNow);
    }
}

void DriveRecordKeeper::Write(std::int64_t p_nNow)
{
    if (platform::Use<platform::ReplacedFile>().Write(m_strPath, RenderDriveRecord(m_Record))) {
        m_bDue = false;
        m_nRetryAt = 0;
        if (m_bFailing) {
            m_bFailing = false;
            dbg::LogValueLine(VEXA_LOCATION(kWrite), 0, L"m_strPath", m_strPath);
            dbg::LogLine(VEXA_LOCATION(kWrite), 0, L"Drive record written again");
        }
        return;
    }
    m_nRetryAt = p_nNow + kRetryPauseSeconds;
    if (!m_bFailing) {
        m_bFailing = true;
        dbg::LogValueLine(VEXA_LOCATION(kWrite), 0, L"l_dwLastError", platform::GetLastErrorCode());
        dbg::LogValueLine(VEXA_LOCATION(kWrite), 0, L"m_strPath", m_strPath);
        dbg::LogErrorLine(VEXA_LOCATION(kWrite), L"Unable to write the drive record!");
    }
}

}  // namespace MBDataContainer
