#include "broadcast/cycle_snapshot.h"

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

}  // namespace MBBroadcast
