#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace MBDataContainer {

// What a field measures. The codes 17 to 23 are those CreateDataField takes; the health readings
// of the system disk and its days left are made by SetHarddisk alone.
using FieldKind = std::int32_t;
inline constexpr FieldKind kTempField = 17;
inline constexpr FieldKind kVoltageField = 18;
inline constexpr FieldKind kFanField = 19;
inline constexpr FieldKind kCMosBattField = 20;
inline constexpr FieldKind kUpsBattField = 21;
inline constexpr FieldKind kLifetimeField = 22;
inline constexpr FieldKind kCriticalHddEventsField = 23;
inline constexpr FieldKind kCriticalWarningField = 24;
inline constexpr FieldKind kDiskLimitField = 25;
inline constexpr FieldKind kDaysLeftField = 26;

// The six groups whose worst rating the values file publishes as one digit each, in the order
// of its current-state section.
enum class FieldGroup { Fans, Temp, Voltage, CmosBatt, Harddisk, Ups };
inline constexpr std::size_t kGroupCount = 6;

// Whose stale data raise a group to at least a warning.
enum class GroupSource { None, Sensors, Disk };

struct GroupInfo {
    FieldGroup group;
    const wchar_t* key;  // the values file's key of the group digit
    GroupSource source;
};
inline constexpr std::array<GroupInfo, kGroupCount> kGroups = {{
    {FieldGroup::Fans, L"IPC_FANS", GroupSource::Sensors},
    {FieldGroup::Temp, L"IPC_TEMP", GroupSource::Sensors},
    {FieldGroup::Voltage, L"IPC_VOLTAGE", GroupSource::Sensors},
    {FieldGroup::CmosBatt, L"IPC_CMOS_BAT", GroupSource::None},
    {FieldGroup::Harddisk, L"IPC_HARDDISK", GroupSource::Disk},
    {FieldGroup::Ups, L"UPS_WORKING", GroupSource::None},
}};

// The position of a group in kGroups.
inline constexpr std::size_t IndexOf(FieldGroup group)
{
    return static_cast<std::size_t>(group);
}

// kGroups holds every group at the position of its value.
constexpr bool GroupsInOrder()
{
    for (std::size_t i = 0; i < kGroupCount; ++i) {
        if (IndexOf(kGroups[i].group) != i) {
            return false;
        }
    }
    return true;
}
static_assert(GroupsInOrder());

// A kind's name (as the metrics label a field) and its group. The disk's fields are rated for
// their group apart from the others: the counters hold their worst rating.
struct KindInfo {
    FieldKind kind;
    const wchar_t* name;
    FieldGroup group;
};
inline constexpr KindInfo kKinds[] = {
    {kFanField, L"fan", FieldGroup::Fans},
    {kTempField, L"temperature", FieldGroup::Temp},
    {kVoltageField, L"voltage", FieldGroup::Voltage},
    {kCMosBattField, L"cmos_battery", FieldGroup::CmosBatt},
    {kUpsBattField, L"ups_battery", FieldGroup::Ups},
    {kLifetimeField, L"disk_lifetime", FieldGroup::Harddisk},
    {kCriticalHddEventsField, L"disk_events", FieldGroup::Harddisk},
    {kCriticalWarningField, L"disk_critical_warning", FieldGroup::Harddisk},
    {kDiskLimitField, L"disk_limit", FieldGroup::Harddisk},
    {kDaysLeftField, L"disk_days_left", FieldGroup::Harddisk},
};

// The entry of a kind; every kind a field reports is in the table.
inline const KindInfo& InfoOf(FieldKind kind)
{
    for (const KindInfo& entry : kKinds) {
        if (entry.kind == kind) {
            return entry;
        }
    }
    return kKinds[0];
}

}  // namespace MBDataContainer
