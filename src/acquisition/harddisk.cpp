#include "acquisition/harddisk.h"

#include "logging/log.h"

namespace MBDataAquisition {

Harddisk::Harddisk(const std::wstring& p_strUser, const std::wstring& p_strPassword)
    : diag::SmartReader(p_strUser, p_strPassword)
{
    m_Attributes.fill(diag::SmartAttribute{});
    m_bNvme = m_NvmeDrives.count(0) != 0;
    // An NVMe health page always holds the three readings.
    m_Provides.criticalWarning = m_bNvme;
    m_Provides.percentageUsed = m_bNvme;
    m_Provides.temperature = m_bNvme;
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
        m_Health.source = DiskSource::None;
        return;
    }
    m_bRefreshFailed = false;
    m_bNvme = m_NvmeDrives.count(0) != 0;
    const auto l_itHealth = m_HealthPages.find(0);
    m_NvmeHealth = l_itHealth != m_HealthPages.end() ? l_itHealth->second : diag::NvmeHealth{};
    NoteSource(m_Drives.count(0) != 0              ? DiskSource::Ata
               : l_itHealth != m_HealthPages.end() ? DiskSource::Nvme
                                                   : DiskSource::None);
    // Without drive 0 the disk values read 0 and rate as a sound disk: the log tells why.
    const bool l_bDrive0Missing = m_Source == DiskSource::None;
    if (!l_bDrive0Missing) {
        ++m_nSystemDiskReads;  // this refresh read the system disk
    }
    if (l_bDrive0Missing != m_bDrive0Missing) {
        m_bDrive0Missing = l_bDrive0Missing;
        try {
            dbg::LogLine(VEXA_LOCATION(L"MBDataAquisition::Harddisk::Update"), 0,
                         l_bDrive0Missing ? L"No S.M.A.R.T. data from drive 0"
                                          : L"S.M.A.R.T. data from drive 0 again");
        } catch (...) {
        }
    }
    const auto l_itTable = m_Drives.find(0);
    for (std::size_t i = 0; i < kWatchedIds.size(); ++i) {
        // The reader logs an attribute it cannot find; a drive that lacks one (many SSDs) would
        // repeat that every cycle. It is told once, and again only after it was back.
        if (l_itTable != m_Drives.end()) {
            const bool l_bMissing = l_itTable->second.count(kWatchedIds[i]) == 0;
            const bool l_bTold = m_bAttributeMissing[i];
            m_bAttributeMissing[i] = l_bMissing;
            if (l_bMissing && l_bTold) {
                m_Attributes[i].RawValue = 0;
                continue;
            }
        }
        try {
            m_Attributes[i] = GetSmartValue(kWatchedIds[i], 0);
        } catch (...) {
            m_Attributes[i].RawValue = 0;
        }
    }
    FillHealth();
}

void Harddisk::FillHealth()
{
    DiskHealth l_Health;
    l_Health.source = m_Source;
    if (m_bNvme) {
        // An NVMe drive has no counters of reallocated or pending sectors: those stay 0.
        l_Health.counters = {m_NvmeHealth.PowerOnHours, m_NvmeHealth.MediaErrors, 0, 0, 0};
        l_Health.criticalWarning = m_NvmeHealth.CriticalWarning;
        l_Health.percentageUsed = m_NvmeHealth.PercentageUsed;
        l_Health.temperature = m_NvmeHealth.Temperature;
    } else {
        for (std::size_t i = 0; i < l_Health.counters.size(); ++i) {
            l_Health.counters[i] = m_Attributes[i].RawValue;
        }
    }
    m_Health = l_Health;
}

const DiskHealth& Harddisk::Health() const noexcept
{
    return m_Health;
}

DiskHealthReadings Harddisk::Provides() const noexcept
{
    return m_Provides;
}

DiskSource Harddisk::Source() const noexcept
{
    return m_Source;
}

bool Harddisk::IsNvme() const noexcept
{
    return m_bNvme;
}

void Harddisk::NoteSource(DiskSource p_Source) noexcept
{
    m_Source = p_Source;
    if (m_LoggedSource == p_Source) {
        return;
    }
    m_LoggedSource = p_Source;
    try {
        dbg::LogLine(VEXA_LOCATION(L"MBDataAquisition::Harddisk::NoteSource"), 0,
                     p_Source == DiskSource::Ata    ? L"Drive 0: ATA S.M.A.R.T. attributes"
                     : p_Source == DiskSource::Nvme ? L"Drive 0: NVMe health information"
                                                    : L"Drive 0: no health information");
    } catch (...) {
    }
}

}  // namespace MBDataAquisition
