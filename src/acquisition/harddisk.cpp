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
        Refresh();
    } catch (...) {
        try {
            dbg::LogErrorLine(VEXA_LOCATION(L"MBDataAquisition::Harddisk::Update"),
                              L"Refresh failed!");
        } catch (...) {
        }
        return;
    }
    for (std::size_t i = 0; i < kWatchedIds.size(); ++i) {
        try {
            m_Attributes[i] = GetSmartValue(kWatchedIds[i], 0);
        } catch (...) {
            m_Attributes[i].RawValue = 0;
        }
    }
}

}  // namespace MBDataAquisition
