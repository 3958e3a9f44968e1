#include "broadcast/cycle_snapshot.h"

#include <algorithm>

#include "platform/storage_query.h"

namespace MBBroadcast {

const wchar_t* RatingWord(MBDataContainer::Rating rating)
{
    switch (rating) {
    case MBDataContainer::RatingOk:
        return L"ok";
    case MBDataContainer::RatingWarning:
        return L"warning";
    case MBDataContainer::RatingError:
        return L"error";
    default:
        return L"none";
    }
}

const wchar_t* ForecastBasisName(MBDataContainer::ForecastBasis basis)
{
    switch (basis) {
    case MBDataContainer::ForecastBasis::Wear:
        return L"wear";
    case MBDataContainer::ForecastBasis::Hours:
        return L"hours";
    default:
        return L"none";
    }
}

std::wstring DaysLeftText(const MBDataContainer::DaysLeftForecast& forecast)
{
    if (forecast.basis == MBDataContainer::ForecastBasis::None) {
        return L"not enough data (" +
               std::to_wstring(std::min(forecast.spanDays, MBDataContainer::kForecastMinSpanDays)) +
               L" of " + std::to_wstring(MBDataContainer::kForecastMinSpanDays) + L" days)";
    }
    std::wstring text =
        std::to_wstring(forecast.days) + L" (basis " + ForecastBasisName(forecast.basis);
    if (forecast.wear) {
        text += L", wear " + std::to_wstring(*forecast.wear) + L" %";
    }
    return text + L")";
}

const wchar_t* DiskSourceName(MBDataAquisition::DiskSource source)
{
    switch (source) {
    case MBDataAquisition::DiskSource::Ata:
        return L"ATA";
    case MBDataAquisition::DiskSource::Nvme:
        return L"NVMe";
    default:
        return L"none";
    }
}

const wchar_t* DiskBusName(std::uint32_t busType)
{
    namespace storage = platform::storage;
    switch (busType) {
    case 0:
        return L"unknown";
    case 1:
        return L"scsi";
    case storage::kBusTypeAta:
        return L"ata";
    case 7:
        return L"usb";
    case storage::kBusTypeRaid:
        return L"raid";
    case 10:
        return L"sas";
    case storage::kBusTypeSata:
        return L"sata";
    case storage::kBusTypeNvme:
        return L"nvme";
    default:
        return L"other";
    }
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

}  // namespace MBBroadcast
