#include "broadcast/field_description.h"

#include <utility>

#include "data/hdd_fields.h"
#include "data/sensor_fields.h"

namespace MBBroadcast {
namespace {

using namespace MBDataContainer;

// The kind's name as the metrics label it; the class of a field is its type tag.
const wchar_t* KindName(const MBDataField& field)
{
    if (dynamic_cast<const FanData*>(&field) != nullptr) {
        return L"fan";
    }
    if (dynamic_cast<const TempData*>(&field) != nullptr) {
        return L"temperature";
    }
    if (dynamic_cast<const VoltageData*>(&field) != nullptr) {
        return L"voltage";
    }
    if (dynamic_cast<const CMosBattData*>(&field) != nullptr) {
        return L"cmos_battery";
    }
    if (dynamic_cast<const UpsBattData*>(&field) != nullptr) {
        return L"ups_battery";
    }
    if (dynamic_cast<const LifetimeData*>(&field) != nullptr) {
        return L"disk_lifetime";
    }
    if (dynamic_cast<const CriticalHddEventsData*>(&field) != nullptr) {
        return L"disk_events";
    }
    if (dynamic_cast<const CriticalWarningData*>(&field) != nullptr) {
        return L"disk_critical_warning";
    }
    if (dynamic_cast<const UpperLimitData*>(&field) != nullptr) {
        return L"disk_limit";
    }
    if (dynamic_cast<const DaysLeftData*>(&field) != nullptr) {
        return L"disk_days_left";
    }
    return L"other";
}

}  // namespace

MBDataContainer::FieldSnapshot DescribeField(const MBDataField& field, Rating rating)
{
    MBDataContainer::FieldSnapshot description;
    description.name = field.m_strName;
    description.kind = KindName(field);
    description.value = field.m_nValue;
    description.setpoint = field.m_nSetpoint;
    description.rating = rating;
    BandText bands = field.DescribeBands();
    description.warningBand = std::move(bands.warning);
    description.errorBand = std::move(bands.error);
    return description;
}

}  // namespace MBBroadcast
