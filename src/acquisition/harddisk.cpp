#include "acquisition/harddisk.h"

#include "acquisition/system_disk.h"
#include "logging/log.h"

#include <algorithm>

namespace MBDataAquisition {

namespace {

// The attribute whose raw byte 0 is the temperature in degrees Celsius on most ATA drives.
constexpr std::uint8_t kTemperatureAttribute = 194;

// Power-on hours with the low 32 bits of the raw value: 16 bits wrap after 7.5 years, sooner
// than an industrial PC retires. A field's reading is a signed 32-bit number.
std::int32_t PowerOnHours(const diag::SmartAttribute& p_Attribute)
{
    constexpr std::uint32_t kLargest = 0x7FFFFFFF;
    return static_cast<std::int32_t>(std::min(p_Attribute.RawLow32, kLargest));
}

void ZeroRaw(diag::SmartAttribute& p_Attribute)
{
    p_Attribute.RawValue = 0;
    p_Attribute.RawLow32 = 0;
}

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

}  // namespace

Harddisk::Harddisk(const std::wstring& p_strUser, const wchar_t* p_pPassword)
    : diag::SmartReader(p_strUser, p_pPassword, AnnounceSystemDisk())
{
    m_Attributes.fill(diag::SmartAttribute{});
    const auto l_itTable = m_Drives.find(m_nSystemDrive);
    if (m_NvmeDrives.count(m_nSystemDrive) != 0) {
        // An NVMe health page always holds the three readings.
        m_Provides = {true, true, true};
    } else if (l_itTable == m_Drives.end()) {
        // A drive that gives its verdict alone, from SCSI sense data.
        m_Provides.criticalWarning = m_SystemDisk.thresholdExceeded.has_value();
    } else {
        m_Provides.criticalWarning = m_SystemDisk.thresholdExceeded.has_value();
        m_Provides.percentageUsed = m_SystemDisk.statistics.percentageUsed.has_value();
        m_Provides.temperature = m_SystemDisk.statistics.temperature.has_value() ||
                                 l_itTable->second.count(kTemperatureAttribute) != 0;
    }
    m_Health.drive = m_nSystemDrive;
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
    const std::uint8_t l_nDrive = m_nSystemDrive;
    const auto l_itHealth = m_HealthPages.find(l_nDrive);
    // The one place that decides whether this refresh read the system disk.
    NoteSource(m_Drives.count(l_nDrive) != 0       ? DiskSource::Ata
               : l_itHealth != m_HealthPages.end() ? DiskSource::Nvme
                                                   : DiskSource::None);
    // Without the drive the disk values read 0 and rate as a sound disk: the log tells why.
    const bool l_bDriveMissing = m_Source == DiskSource::None;
    if (l_bDriveMissing != m_bDriveMissing) {
        m_bDriveMissing = l_bDriveMissing;
        try {
            dbg::LogLine(VEXA_LOCATION(L"MBDataAquisition::Harddisk::Update"), 0,
                         (l_bDriveMissing ? L"No S.M.A.R.T. data from drive "
                                          : L"S.M.A.R.T. data from drive ") +
                             std::to_wstring(l_nDrive) + (l_bDriveMissing ? L"" : L" again"));
        } catch (...) {
        }
    }
    const auto l_itTable = m_Drives.find(l_nDrive);
    for (std::size_t i = 0; i < kWatchedIds.size(); ++i) {
        // The reader logs an attribute it cannot find; a drive that lacks one (many SSDs) would
        // repeat that every cycle. It is told once, and again only after it was back.
        if (l_itTable != m_Drives.end()) {
            const bool l_bMissing = l_itTable->second.count(kWatchedIds[i]) == 0;
            const bool l_bTold = m_bAttributeMissing[i];
            m_bAttributeMissing[i] = l_bMissing;
            if (l_bMissing && l_bTold) {
                ZeroRaw(m_Attributes[i]);
                continue;
            }
            if (!l_bMissing && l_bTold) {
                try {
                    dbg::LogLine(VEXA_LOCATION(L"MBDataAquisition::Harddisk::Update"), 0,
                                 L"S.M.A.R.T. attribute " + std::to_wstring(kWatchedIds[i]) +
                                     L" of drive " + std::to_wstring(l_nDrive) + L" is back");
                } catch (...) {
                }
            }
        }
        try {
            m_Attributes[i] = GetSmartValue(kWatchedIds[i], l_nDrive);
        } catch (...) {
            ZeroRaw(m_Attributes[i]);
        }
    }
    try {
        FillHealth();
    } catch (...) {
        // Out of memory while copying the drive's texts: the record keeps its earlier counters,
        // marked as not this cycle's, and the health fields rate as unread.
        m_Health.ForgetReadings();
    }
}

void Harddisk::FillHealth()
{
    DiskHealth l_Health;
    l_Health.drive = m_nSystemDrive;
    l_Health.source = m_Source;
    l_Health.access =
        m_SystemDisk.withoutRights ? DiskAccess::WithoutRights : DiskAccess::ReadWrite;
    l_Health.hiddenByRaid = m_SystemDisk.hiddenByRaid;
    if (m_SystemDisk.descriptor) {
        l_Health.busType = m_SystemDisk.descriptor->busType;
        l_Health.model = m_SystemDisk.descriptor->model;
        l_Health.serial = m_SystemDisk.descriptor->serial;
    }
    if (m_NvmeDrives.count(m_nSystemDrive) != 0) {
        const auto l_itPage = m_HealthPages.find(m_nSystemDrive);
        FillFromPage(l_Health, l_itPage != m_HealthPages.end() ? &l_itPage->second : nullptr);
    } else {
        FillFromAta(l_Health);
    }
    m_Health = l_Health;
}

void Harddisk::FillFromPage(DiskHealth& p_Health, const diag::NvmeHealth* p_pPage) const
{
    // A page that did not answer gives no reading: its counters read 0, its others none.
    const diag::NvmeHealth l_Page = p_pPage != nullptr ? *p_pPage : diag::NvmeHealth{};
    p_Health.counters = {l_Page.PowerOnHours, l_Page.MediaErrors, 0, 0, 0};
    p_Health.counterStates = {CounterState::Read, CounterState::Read, CounterState::NotApplicable,
                              CounterState::NotApplicable, CounterState::NotApplicable};
    if (p_pPage == nullptr) {
        p_Health.counterStates[0] = p_Health.counterStates[1] = CounterState::Unread;
        return;
    }
    p_Health.criticalWarning = l_Page.CriticalWarning;
    p_Health.percentageUsed = l_Page.PercentageUsed;
    p_Health.temperature = l_Page.Temperature;
}

void Harddisk::FillFromAta(DiskHealth& p_Health) const
{
    p_Health.counters[0] = PowerOnHours(m_Attributes[0]);
    for (std::size_t i = 1; i < p_Health.counters.size(); ++i) {
        p_Health.counters[i] = m_Attributes[i].RawValue;
    }
    const auto l_itTable = m_Drives.find(m_nSystemDrive);
    if (l_itTable == m_Drives.end()) {
        // A drive's own failure prediction from SCSI sense data: its verdict without counters.
        if (m_SystemDisk.thresholdExceeded) {
            p_Health.criticalWarning = *m_SystemDisk.thresholdExceeded ? 1 : 0;
        }
        return;
    }
    const diag::SmartTable& l_Table = l_itTable->second;
    for (std::size_t i = 0; i < kWatchedIds.size(); ++i) {
        p_Health.counterStates[i] =
            l_Table.count(kWatchedIds[i]) != 0 ? CounterState::Read : CounterState::Unread;
    }
    // The verdict counts only with the drive's status: thresholds alone would show bit 0, never
    // read, as a sound 0.
    if (m_SystemDisk.thresholdExceeded) {
        p_Health.criticalWarning =
            (*m_SystemDisk.thresholdExceeded ? 1 : 0) |
            (m_SystemDisk.thresholds &&
                     diag::AttributeAtThreshold(l_Table, *m_SystemDisk.thresholds)
                 ? 2
                 : 0);
    }
    p_Health.percentageUsed = m_SystemDisk.statistics.percentageUsed;
    p_Health.temperature = m_SystemDisk.statistics.temperature;
    const auto l_itTemperature = l_Table.find(kTemperatureAttribute);
    if (!p_Health.temperature && l_itTemperature != l_Table.end()) {
        p_Health.temperature = l_itTemperature->second.RawValue & 0xFF;
    }
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
    m_Source = p_Source;
    try {
        std::wstring l_strLine = L"Drive " + std::to_wstring(m_nSystemDrive) + L": ";
        if (p_Source == DiskSource::Ata) {
            l_strLine += L"ATA S.M.A.R.T. attributes";
        } else if (p_Source == DiskSource::Nvme) {
            l_strLine += L"NVMe health information";
        } else if (m_SystemDisk.hiddenByRaid) {
            l_strLine += L"hidden by a RAID controller";
        } else if (m_SystemDisk.openError != 0) {
            l_strLine +=
                L"cannot be opened (error " + std::to_wstring(m_SystemDisk.openError) + L")";
        } else if (m_SystemDisk.thresholdExceeded) {
            l_strLine += L"the drive's verdict alone";
        } else {
            l_strLine += L"no health information";
        }
        if ((p_Source != DiskSource::None || m_SystemDisk.thresholdExceeded) &&
            m_SystemDisk.withoutRights) {
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
