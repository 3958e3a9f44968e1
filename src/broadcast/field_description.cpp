#include "broadcast/field_description.h"

#include <string>

#include "data/band_limits.h"
#include "data/hdd_fields.h"
#include "data/sensor_fields.h"

namespace MBBroadcast {
namespace {

using namespace MBDataContainer;

std::wstring Below(std::int64_t limit)
{
    return L"< " + std::to_wstring(limit);
}
std::wstring Above(std::int64_t limit)
{
    return L"> " + std::to_wstring(limit);
}

// The bands follow each kind's rating rule; a setpoint of 0 leaves a sensor field unwatched.
void DescribeBands(const MBDataField& field, bool lowerLimit, bool upperLimit,
                   FieldSnapshot& description)
{
    if (field.m_nSetpoint == 0) {
        return;
    }
    const BandLimits limits =
        ComputeBandLimits(field.m_nSetpoint, field.m_nWarningPercent, field.m_nErrorPercent);
    if (lowerLimit && upperLimit) {
        description.warningBand = Below(limits.lowerWarning) + L" or " + Above(limits.upperWarning);
        description.errorBand = Below(limits.lowerError) + L" or " + Above(limits.upperError);
    } else if (lowerLimit) {
        description.warningBand = Below(limits.lowerWarning);
        description.errorBand = Below(limits.lowerError);
    } else {
        description.warningBand = Above(limits.upperWarning);
        description.errorBand = Above(limits.upperError);
    }
}

}  // namespace

FieldSnapshot DescribeField(const MBDataField& field, Rating rating)
{
    FieldSnapshot description;
    description.name = field.m_strName;
    description.value = field.m_nValue;
    description.setpoint = field.m_nSetpoint;
    description.rating = rating;
    if (dynamic_cast<const FanData*>(&field) != nullptr) {
        description.kind = L"fan";
        DescribeBands(field, true, false, description);
    } else if (dynamic_cast<const TempData*>(&field) != nullptr) {
        description.kind = L"temperature";
        DescribeBands(field, false, true, description);
    } else if (dynamic_cast<const VoltageData*>(&field) != nullptr) {
        description.kind = L"voltage";
        DescribeBands(field, true, true, description);
    } else if (dynamic_cast<const CMosBattData*>(&field) != nullptr) {
        description.kind = L"cmos_battery";
        DescribeBands(field, true, false, description);
    } else if (dynamic_cast<const UpsBattData*>(&field) != nullptr) {
        description.kind = L"ups_battery";
        DescribeBands(field, true, false, description);
    } else if (dynamic_cast<const LifetimeData*>(&field) != nullptr) {
        description.kind = L"disk_lifetime";
        if (field.m_nSetpoint != 0) {
            description.warningBand = Above(Magnitude(field.m_nSetpoint));
        }
    } else if (dynamic_cast<const CriticalHddEventsData*>(&field) != nullptr) {
        description.kind = L"disk_events";
        description.warningBand = Above(0);
        description.errorBand = L"rising";
    } else if (dynamic_cast<const NvmeCriticalWarningData*>(&field) != nullptr) {
        description.kind = L"disk_critical_warning";
        description.errorBand = L"not 0";
    } else if (dynamic_cast<const NvmeLimitData*>(&field) != nullptr) {
        description.kind = L"disk_limit";
        description.warningBand = Above(field.m_nSetpoint);
    } else {
        description.kind = L"other";
    }
    return description;
}

}  // namespace MBBroadcast
