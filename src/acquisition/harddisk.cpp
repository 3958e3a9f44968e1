#include "acquisition/harddisk.h"

#include "logging/log.h"

namespace MBDataAquisition {

Harddisk::Harddisk(const std::wstring& p_strUser, const std::wstring& p_strPassword)
    : diag::SmartReader(p_strUser, p_strPassword)
{
    m_Attributes.fill(diag::SmartAttribute{});
}

void Harddisk::Update() noexcept
{
    try {
        m_Source = DiskSource::None;
        Refresh();
    } catch (...) {
        try {
            dbg::LogErrorLine(VEXA_LOCATION(L"MBDataAquisition::Harddisk::Update"),
                              L"Refresh failed!");
        } catch (...) {
        }
        return;
    }
    // Without drive 0 the disk values read 0 and rate as a sound disk: the log tells why.
    const bool l_bDrive0Missing = m_Drives.find(0) == m_Drives.end();
    m_Source = l_bDrive0Missing ? DiskSource::None : DiskSource::Ata;
    if (l_bDrive0Missing != m_bDrive0Missing) {
        m_bDrive0Missing = l_bDrive0Missing;
        try {
            dbg::LogLine(VEXA_LOCATION(L"MBDataAquisition::Harddisk::Update"), 0,
                         l_bDrive0Missing ? L"No S.M.A.R.T. data from drive 0"
                                          : L"S.M.A.R.T. data from drive 0 again");
        } catch (...) {
        }
    }
    for (std::size_t i = 0; i < kWatchedIds.size(); ++i) {
        try {
            m_Attributes[i] = GetSmartValue(kWatchedIds[i], 0);
        } catch (...) {
            m_Attributes[i].RawValue = 0;
        }
    }
}

DiskSource Harddisk::Source() const noexcept
{
    return m_Source;
}

}  // namespace MBDataAquisition
