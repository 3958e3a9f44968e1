#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <vector>

#include "acquisition/disk_health.h"
#include "acquisition/mb_setpoints.h"
#include "data/data_field.h"
#include "data/days_left.h"
#include "data/drive_record_keeper.h"

namespace MBDataAquisition {
class VexaTool;
class UpsInfo;
class Harddisk;
}  // namespace MBDataAquisition

namespace MBDataContainer {

// Owns every data field of the monitor and keeps their readings current. The sources are
// attached one by one (sensor source, UPS source, disk source), which creates their fields with
// setpoints, tolerance percentages and names; Update refreshes the attached sources and copies
// their readings into the fields. Used by the worker thread alone.
//
// m_Fields holds the fans, temperatures and voltages in the order of the sensor names, then the
// UPS working field and the UPS battery field; the five disk fields live in m_HddFields and are
// reached only by iteration.
class DataList {
public:
    using FieldPtr = std::shared_ptr<MBDataField>;
    static constexpr std::size_t kHddFieldCount = 5;
    // The five disk slots, then three that the system disk fills when it provides the reading:
    // its critical warning, percentage used and temperature; last the days it has left.
    static constexpr std::size_t kDaysLeftSlot = kHddFieldCount + 3;
    static constexpr std::size_t kHddSlotCount = kDaysLeftSlot + 1;

    // Walks m_Fields in index order, then the filled disk slots in slot order.
    class FieldIterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = FieldPtr;
        using difference_type = std::ptrdiff_t;
        using pointer = const FieldPtr*;
        using reference = const FieldPtr&;

        FieldIterator(const DataList* list, std::size_t position);
        reference operator*() const;
        pointer operator->() const { return &**this; }
        FieldIterator& operator++();
        FieldIterator operator++(int);
        bool operator==(const FieldIterator& other) const
        {
            return m_nPosition == other.m_nPosition;
        }
        bool operator!=(const FieldIterator& other) const { return !(*this == other); }

    protected:
        void SkipEmptySlots();
        const DataList* m_pList;
        std::size_t m_nPosition;  // m_Fields first, then the disk slots
    };

    // The disk slots alone, in slot order.
    class HddFieldIterator : public FieldIterator {
    public:
        HddFieldIterator(const DataList* list, std::size_t slot);
    };

    template <class Iterator>
    struct Range {
        Iterator first;
        Iterator last;
        Iterator begin() const { return first; }
        Iterator end() const { return last; }
    };

    DataList();
    ~DataList();
    DataList(const DataList&) = delete;
    DataList& operator=(const DataList&) = delete;

    // Attaches the sensor source and creates its fields; an empty source makes Update do nothing.
    void SetDataSource(MBDataAquisition::VexaTool* p_pDataSource);
    // Attaches the UPS source and creates its two fields; throws err::DataListException code 1.
    void SetUpsInfo(MBDataAquisition::UpsInfo* p_pUpsInfo);
    // Attaches the disk source (may be empty) and fills the five disk slots: the lifetime
    // (setpoint "MaxLifetimeYears" of [HDD] in Computer.ini, in power-on hours) and the four
    // critical-event counters. Three more slots follow for the readings the system disk
    // provides: its critical warning, its percentage used (setpoint "MaxPercentageUsed", default
    // 90) and its temperature in degrees Celsius (setpoint "MaxTemperature", default 70). With a
    // disk source the last slot holds "HddDaysLeft", the forecast of the drive record ("[HDD]
    // RecordFile", "DaysLeftWarning", "DaysLeftError" of the add-on's own settings file). The
    // disk fields are not in m_Fields.
    void SetHarddisk(MBDataAquisition::Harddisk* p_pHarddisk);
    // Runs a source's refresh and tells whether it ended: false while it is still being read on
    // another thread, whose readings must then not be touched.
    using Refresh = std::function<bool()>;
    // Replaces the sensor source's and the disk source's own Update (which ends by definition):
    // a refresh that has not ended leaves the sensor fields as they were, and the disk's health
    // readings count as not read this cycle.
    void SetRefreshes(Refresh p_Sensors, Refresh p_Disk);

    // Refreshes the attached sources and copies their readings; their exceptions pass through.
    void Update();
    // m_Fields[index]; throws err::DataListException code 3 (no such index) or 4 (empty slot).
    FieldPtr RequestDataField(std::int32_t p_idxField) const;

    // Every field: m_Fields in index order, then the disk fields.
    Range<FieldIterator> Fields() const;
    // The disk fields alone.
    Range<HddFieldIterator> HddFields() const;

    // The system disk's forecast of the last update (-1 days before there is one), and the day it
    // was first seen (nothing before its first reading).
    const DaysLeftForecast& DaysLeft() const { return m_DaysLeft; }
    std::optional<RecordDay> DiskFirstSeen() const;
    // The system disk's record of the last disk refresh that ended (all zero before the first),
    // and whether the administrator's logon for the drives had failed as of that refresh.
    const MBDataAquisition::DiskHealth& DiskRecord() const { return m_DiskRecord; }
    bool DiskLogonFailed() const { return m_bDiskLogonFailed; }
    // The UPS service's status key existed at the UPS source's last read.
    bool UpsPresent() const;

    std::size_t FieldCount() const { return m_Fields.size(); }
    std::int32_t UpsFanIndex() const { return m_nUpsFanIndex; }
    std::int32_t UpsBattIndex() const { return m_nUpsBattIndex; }
    std::int32_t WarningTolerance() const { return m_nWarningTolerance; }
    std::int32_t ErrorTolerance() const { return m_nErrorTolerance; }

private:
    void UpdateDriveRecord(const MBDataAquisition::DiskHealth& p_Health);
    // Copies the disk source's record of a refresh that has ended; it must not be read while a
    // refresh may still run on another thread.
    const MBDataAquisition::DiskHealth& TakeDiskRecord();
    // The new field appended to m_Fields with the tolerance percentages; empty for an unknown
    // kind or when creating it failed.
    FieldPtr CreateDataField(FieldKind p_nKind);
    // Creates the fields of one sensor kind until the count is reached or creation fails.
    template <class Setpoint>
    void CreateSensorFields(FieldKind p_nKind, std::uint32_t p_nCount,
                            const std::vector<std::wstring>& p_Names, Setpoint p_Setpoint);

    std::vector<FieldPtr> m_Fields;
    std::array<FieldPtr, kHddSlotCount> m_HddFields;
    MBDataAquisition::VexaTool* m_pDataSource = nullptr;
    MBDataAquisition::MBSetpoints m_Setpoints;
    MBDataAquisition::UpsInfo* m_pUpsInfo = nullptr;
    MBDataAquisition::Harddisk* m_pHarddisk = nullptr;
    std::optional<DriveRecordKeeper> m_DriveRecord;
    DaysLeftForecast m_DaysLeft;
    MBDataAquisition::DiskHealth m_DiskRecord;
    bool m_bDiskLogonFailed = false;
    std::int32_t m_nErrorTolerance = 0;
    std::int32_t m_nWarningTolerance = 0;
    std::int32_t m_nUpsFanIndex = 0;
    std::int32_t m_nUpsBattIndex = 0;
    Refresh m_SensorRefresh;
    Refresh m_DiskRefresh;
};

}  // namespace MBDataContainer
