#include "data/cycle_snapshot.h"

#include <algorithm>

namespace MBDataContainer {

std::wstring DaysLeftText(const DaysLeftForecast& forecast)
{
    if (forecast.basis == ForecastBasis::None) {
        return L"not enough data (" +
               std::to_wstring(std::min(forecast.spanDays, kForecastMinSpanDays)) + L" of " +
               std::to_wstring(kForecastMinSpanDays) + L" days)";
    }
    std::wstring text = std::to_wstring(forecast.days) + L" (basis " + NameOf(forecast.basis);
    if (forecast.wear) {
        text += L", wear " + std::to_wstring(*forecast.wear) + L" %";
    }
    return text + L")";
}

const wchar_t* DiskReadWay(const MBDataAquisition::DiskHealth& disk)
{
    if (disk.source == MBDataAquisition::DiskSource::None) {
        return disk.hiddenByRaid ? L"hidden by a RAID controller" : L"not read";
    }
    return disk.access == MBDataAquisition::DiskAccess::WithoutRights
               ? L"without administrator rights"
               : L"with administrator rights";
}

}  // namespace MBDataContainer
