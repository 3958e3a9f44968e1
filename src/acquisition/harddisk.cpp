#include "acquisition/harddisk.h"

#include "acquisition/ata_reader.h"
#include "acquisition/system_disk.h"
#include "logging/log.h"

namespace MBDataAquisition {

namespace {

// Chooses the system disk and names it in the log, once per attach.
std::uint8_t AnnounceSystemDisk()
{
    const SystemDiskChoice l_Choice = ChooseSystemDisk();
    try {
        dbg::LogLine(VEXA_LOCATION(L"MBDataAquisition::Harddisk::Harddisk"), 0, l_Choice.line);
    } catch (...) {
    }
    return l_Choice.drive;
}

bool HiddenByRaid(const diag::SystemDiskReport& p_Disk)
{
    return diag::NamesBus(p_Disk.descriptor, platform::bus::kRaid);
}

}  // namespace

Harddisk::Harddisk(const std::wstring& p_strUser, const wchar_t* p_pPassword)
    : diag::SmartReader(p_strUser, p_pPassword, AnnounceSystemDisk())
{
    const diag::SystemDiskReport& l_Disk = SystemDisk();
    if (diag::NamesBus(l_Disk.descriptor, platform::bus::kNvme)) {
        // An NVMe health page always holds the three readings.
        m_Provides = {true, true, true};
    } else {
        m_Provides = {l_Disk.health.criticalWarning.has_value(),
                      l_Disk.health.percentageUsed.has_value(),
                      l_Disk.health.temperature.has_value()};
    }
    m_Health.drive = SystemDrive();
}

void Harddisk::Update() noexcept
{
    try {
        Refresh();
    } catch (...) {
        // Once per run of failed refreshes; the source line tells when reading works again.
        if (!m_bRefreshFailed) {
            m_bRefreshFailed = true;
            try {
                dbg::LogErrorLine(VEXA_LOCATION(L"MBDataAquisition::Harddisk::Update"),
                                  L"Refresh failed!");
            } catch (...) {
            }
        }
        NoteSource(DiskSource::None);
        m_Health.ForgetReadings();
        return;
    }
    m_bRefreshFailed = false;
    const DiskHealth& l_Read = SystemDisk().health;
    NoteSource(l_Read.source);
    // Without the drive the disk values read 0 and rate as a sound disk: the log tells why.
    const bool l_bDriveMissing = l_Read.source == DiskSource::None;
    if (l_bDriveMissing != m_bDriveMissing) {
        m_bDriveMissing = l_bDriveMissing;
        try {
            dbg::LogLine(VEXA_LOCATION(L"MBDataAquisition::Harddisk::Update"), 0,
                         (l_bDriveMissing ? L"No S.M.A.R.T. data from drive "
                                          : L"S.M.A.R.T. data from drive ") +
                             std::to_wstring(SystemDrive()) + (l_bDriveMissing ? L"" : L" again"));
        } catch (...) {
        }
    }
    NoteMissingAttributes(l_Read);
    try {
        m_Health = Compose();
    } catch (...) {
        // Out of memory while copying the drive's texts: the record keeps its earlier counters,
        // marked as not this cycle's, and the health fields rate as unread.
        m_Health.ForgetReadings();
    }
}

void Harddisk::NoteMissingAttributes(const DiskHealth& p_Read) noexcept
{
    if (p_Read.source != DiskSource::Ata) {
        return;
    }
    const std::uint8_t l_nDrive = SystemDrive();
    for (std::size_t i = 0; i < diag::kCounterAttributes.size(); ++i) {
        // A drive that lacks an attribute (many SSDs) would log it every cycle: it is told once,
        // and again only after it was back.
        const bool l_bMissing = p_Read.counterStates[i] != CounterState::Read;
        const bool l_bTold = m_bAttributeMissing[i];
        m_bAttributeMissing[i] = l_bMissing;
        try {
            if (l_bMissing && !l_bTold) {
                // The reader's lookup logs the attribute and the drive's table, then throws.
                GetSmartValue(diag::kCounterAttributes[i], l_nDrive);
            } else if (!l_bMissing && l_bTold) {
                dbg::LogLine(VEXA_LOCATION(L"MBDataAquisition::Harddisk::Update"), 0,
                             L"S.M.A.R.T. attribute " +
                                 std::to_wstring(diag::kCounterAttributes[i]) + L" of drive " +
                                 std::to_wstring(l_nDrive) + L" is back");
            }
        } catch (...) {
        }
    }
}

DiskHealth Harddisk::Compose() const
{
    const diag::SystemDiskReport& l_Disk = SystemDisk();
    DiskHealth l_Health = l_Disk.health;
    l_Health.drive = SystemDrive();
    l_Health.hiddenByRaid = HiddenByRaid(l_Disk);
    if (l_Disk.descriptor) {
        l_Health.busType = l_Disk.descriptor->busType;
        l_Health.model = l_Disk.descriptor->model;
        l_Health.serial = l_Disk.descriptor->serial;
    }
    return l_Health;
}

const DiskHealth& Harddisk::Health() const noexcept
{
    return m_Health;
}

DiskHealthReadings Harddisk::Provides() const noexcept
{
    return m_Provides;
}

void Harddisk::NoteSource(DiskSource p_Source) noexcept
{
    try {
        const diag::SystemDiskReport& l_Disk = SystemDisk();
        const bool l_bVerdict = l_Disk.health.criticalWarning.has_value();
        std::wstring l_strLine = L"Drive " + std::to_wstring(SystemDrive()) + L": ";
        if (p_Source == DiskSource::Ata) {
            l_strLine += L"ATA S.M.A.R.T. attributes";
        } else if (p_Source == DiskSource::Nvme) {
            l_strLine += L"NVMe health information";
        } else if (HiddenByRaid(l_Disk)) {
            l_strLine += L"hidden by a RAID controller";
        } else if (l_Disk.openError != 0) {
            l_strLine += L"cannot be opened (error " + std::to_wstring(l_Disk.openError) + L")";
        } else if (l_bVerdict) {
            l_strLine += L"the drive's verdict alone";
        } else {
            l_strLine += L"no health information";
        }
        if ((p_Source != DiskSource::None || l_bVerdict) &&
            l_Disk.health.access == DiskAccess::WithoutRights) {
            l_strLine += L" (without administrator rights)";
        }
        if (l_strLine == m_strLoggedSource) {
            return;
        }
        m_strLoggedSource = l_strLine;
        dbg::LogLine(VEXA_LOCATION(L"MBDataAquisition::Harddisk::NoteSource"), 0, l_strLine);
    } catch (...) {
    }
}

}  // namespace MBDataAquisition
