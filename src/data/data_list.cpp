#include "data/data_list.h"

#include <optional>
#include <string>
#include <utility>

#include "acquisition/harddisk.h"
#include "acquisition/sensor_names.h"
#include "acquisition/ups_info.h"
#include "acquisition/vexa_tool.h"
#include "data/hdd_fields.h"
#include "data/sensor_fields.h"
#include "errors/exceptions.h"
#include "logging/log.h"
#include "platform/clock.h"
#include "platform/seam.h"
#include "settings/sensor_source.h"
#include "settings/settings.h"

namespace MBDataContainer {

DataList::FieldIterator::FieldIterator(const DataList* list, std::size_t position)
    : m_pList(list), m_nPosition(position)
{
    SkipEmptySlots();
}

// Disk slots stay empty until the disk source is attached; an iteration passes over them
// instead of yielding empty pointers.
void DataList::FieldIterator::SkipEmptySlots()
{
    const std::size_t fields = m_pList->m_Fields.size();
    while (m_nPosition >= fields && m_nPosition < fields + kHddSlotCount &&
           !m_pList->m_HddFields[m_nPosition - fields]) {
        ++m_nPosition;
    }
}

DataList::FieldIterator::reference DataList::FieldIterator::operator*() const
{
    const std::size_t fields = m_pList->m_Fields.size();
    return m_nPosition < fields ? m_pList->m_Fields[m_nPosition]
                                : m_pList->m_HddFields[m_nPosition - fields];
}

DataList::FieldIterator& DataList::FieldIterator::operator++()
{
    ++m_nPosition;
    SkipEmptySlots();
    return *this;
}

DataList::FieldIterator DataList::FieldIterator::operator++(int)
{
    FieldIterator previous = *this;
    ++*this;
    return previous;
}

DataList::HddFieldIterator::HddFieldIterator(const DataList* list, std::size_t slot)
    : FieldIterator(list, list->m_Fields.size() + slot)
{
}

DataList::DataList()
{
    if (UsesSpeedFanSource()) {
        m_Setpoints.m_strSection = L"SpeedFan";
    }
    const std::wstring l_strModuleIni = GetModuleIniPath();
    m_nWarningTolerance =
        static_cast<std::int32_t>(ReadIniInt(L"Tolerance", L"Warning", 10, l_strModuleIni));
    m_nErrorTolerance =
        static_cast<std::int32_t>(ReadIniInt(L"Tolerance", L"Error", 20, l_strModuleIni));
}

DataList::~DataList()
{
    try {
        m_Fields.clear();
    } catch (...) {
        // A field's destructor must not end the worker's tear-down.
    }
    m_pDataSource = nullptr;
    m_pUpsInfo = nullptr;
    m_pHarddisk = nullptr;
}

DataList::FieldPtr DataList::CreateDataField(FieldKind p_nKind)
{
    try {
        FieldPtr l_pField;
        switch (p_nKind) {
        case kTempField:
            l_pField = std::make_shared<TempData>();
            break;
        case kVoltageField:
            l_pField = std::make_shared<VoltageData>();
            break;
        case kFanField:
            l_pField = std::make_shared<FanData>();
            break;
        case kCMosBattField:
            l_pField = std::make_shared<CMosBattData>();
            break;
        case kUpsBattField:
            l_pField = std::make_shared<UpsBattData>();
            break;
        // The disk fields are made by SetHarddisk; their kinds are valid all the same.
        case kLifetimeField:
            l_pField = std::make_shared<LifetimeData>();
            break;
        case kCriticalHddEventsField:
            l_pField = std::make_shared<CriticalHddEventsData>();
            break;
        default:
            return FieldPtr();
        }
        m_Fields.push_back(l_pField);
        l_pField->m_nErrorPercent = m_nErrorTolerance;
        l_pField->m_nWarningPercent = m_nWarningTolerance;
        return l_pField;
    } catch (...) {
        return FieldPtr();
    }
}

template <class Setpoint>
void DataList::CreateSensorFields(FieldKind p_nKind, std::uint32_t p_nCount,
                                  const std::vector<std::wstring>& p_Names, Setpoint p_Setpoint)
{
    for (std::uint32_t i = 0; i < p_nCount; ++i) {
        const FieldPtr l_pField = CreateDataField(p_nKind);
        if (!l_pField) {
            return;
        }
        l_pField->m_nSetpoint = p_Setpoint(i);
        l_pField->m_strName = MBDataAquisition::SensorNameAt(p_Names, i);
    }
}

void DataList::SetDataSource(MBDataAquisition::VexaTool* p_pDataSource)
{
    using MBDataAquisition::SensorNames;
    m_pDataSource = p_pDataSource;
    m_Setpoints.Update();
    CreateSensorFields(kFanField, SensorNames.FanCount, SensorNames.FanNames,
                       [this](std::uint32_t i) { return m_Setpoints.GetFan(i); });
    CreateSensorFields(kTempField, SensorNames.TempCount, SensorNames.TempNames,
                       [this](std::uint32_t i) { return m_Setpoints.GetTemp(i); });
    CreateSensorFields(kVoltageField, SensorNames.VoltageCount, SensorNames.VoltageNames,
                       [this](std::uint32_t i) { return m_Setpoints.GetVoltage(i); });
}

void DataList::SetUpsInfo(MBDataAquisition::UpsInfo* p_pUpsInfo)
{
    m_pUpsInfo = p_pUpsInfo;
    m_nUpsFanIndex = static_cast<std::int32_t>(m_Fields.size());
    FieldPtr l_pField = CreateDataField(kFanField);
    if (!l_pField) {
        throw err::DataListException(L"Ups",
                                     VEXA_LOCATION(L"MBDataContainer::DataList::SetUpsInfo"), 1);
    }
    l_pField->m_nSetpoint = 200;
    l_pField->m_strName = m_pUpsInfo->GetFanName();

    m_nUpsBattIndex = static_cast<std::int32_t>(m_Fields.size());
    l_pField = CreateDataField(kUpsBattField);
    if (!l_pField) {
        throw err::DataListException(L"Ups",
                                     VEXA_LOCATION(L"MBDataContainer::DataList::SetUpsInfo"), 1);
    }
    l_pField->m_nSetpoint = 100;
    l_pField->m_strName = m_pUpsInfo->GetBatteryName();
}

void DataList::SetHarddisk(MBDataAquisition::Harddisk* p_pHarddisk)
{
    m_pHarddisk = p_pHarddisk;
    auto l_pLifetime = std::make_shared<LifetimeData>();
    l_pLifetime->m_strName = L"HddLifetime";
    l_pLifetime->m_nSetpoint = static_cast<std::int32_t>(
        ReadIniInt(L"HDD", L"MaxLifetimeYears", 45000, GetComputerIniPath()));
    m_HddFields[0] = l_pLifetime;

    // In the order of the disk source's watched attributes 198, 196, 197 and 5.
    static const wchar_t* const s_CriticalNames[kHddFieldCount - 1] = {
        L"HddOfflineUncorrectable", L"HddReallocationCount", L"HddCurrentPendingSectorCount",
        L"ReallocatedSectorCount"};
    for (std::size_t k = 1; k < kHddFieldCount; ++k) {
        auto l_pCritical = std::make_shared<CriticalHddEventsData>();
        l_pCritical->m_strName = s_CriticalNames[k - 1];
        m_HddFields[k] = l_pCritical;
    }

    if (p_pHarddisk == nullptr) {
        return;
    }
    // The health fields the system disk provides, in their fixed slots behind the five.
    const MBDataAquisition::DiskHealthReadings l_Provides = p_pHarddisk->Provides();
    if (l_Provides.criticalWarning) {
        auto l_pWarning = std::make_shared<CriticalWarningData>();
        l_pWarning->m_strName = L"HddCriticalWarning";
        m_HddFields[kHddFieldCount] = l_pWarning;
    }
    const auto MakeLimit = [](const wchar_t* p_strName, const wchar_t* p_strKey, int p_nDefault) {
        auto l_pLimit = std::make_shared<UpperLimitData>();
        l_pLimit->m_strName = p_strName;
        l_pLimit->m_nSetpoint = static_cast<std::int32_t>(
            ReadIniInt(L"HDD", p_strKey, p_nDefault, GetComputerIniPath()));
        return l_pLimit;
    };
    if (l_Provides.percentageUsed) {
        m_HddFields[kHddFieldCount + 1] = MakeLimit(L"HddPercentageUsed", L"MaxPercentageUsed", 90);
    }
    if (l_Provides.temperature) {
        m_HddFields[kHddFieldCount + 2] = MakeLimit(L"HddTemperature", L"MaxTemperature", 70);
    }

    const std::wstring l_strModuleIni = GetModuleIniPath();
    auto l_pDaysLeft = std::make_shared<DaysLeftData>();
    l_pDaysLeft->m_strName = L"HddDaysLeft";
    l_pDaysLeft->m_nValue = -1;
    l_pDaysLeft->m_nSetpoint =
        static_cast<std::int32_t>(ReadIniInt(L"HDD", L"DaysLeftWarning", 180, l_strModuleIni));
    l_pDaysLeft->m_nErrorDays =
        static_cast<std::int32_t>(ReadIniInt(L"HDD", L"DaysLeftError", 30, l_strModuleIni));
    m_HddFields[kDaysLeftSlot] = l_pDaysLeft;
    m_DriveRecord.emplace(ReadDriveRecordPath());
    m_DaysLeft = DaysLeftForecast();
    TakeDiskRecord();
}

std::optional<RecordDay> DataList::DiskFirstSeen() const
{
    const DriveHistory* l_pDrive = m_DriveRecord ? m_DriveRecord->Current() : nullptr;
    return l_pDrive != nullptr ? std::optional<RecordDay>(l_pDrive->firstSeen) : std::nullopt;
}

// Takes a refresh that read the system disk into the drive record, and the forecast of the
// record's days into the days-left field.
void DataList::UpdateDriveRecord(const MBDataAquisition::DiskHealth& p_Health)
{
    if (!m_DriveRecord) {
        return;
    }
    if (p_Health.source != MBDataAquisition::DiskSource::None) {
        DriveReading l_Reading;
        l_Reading.model = p_Health.model;
        l_Reading.serial = p_Health.serial;
        l_Reading.powerOnHours = p_Health.counters[0];
        l_Reading.percentageUsed = p_Health.percentageUsed;
        for (std::size_t k = 0; k < l_Reading.sectorCounters.size(); ++k) {
            l_Reading.sectorCounters[k] = p_Health.counters[k + 1];
        }
        l_Reading.temperature = p_Health.temperature;
        m_DriveRecord->Observe(l_Reading, platform::Use<platform::Clock>().Now());
    }
    if (const DriveHistory* l_pDrive = m_DriveRecord->Current()) {
        m_DaysLeft = ForecastDaysLeft(l_pDrive->days, m_HddFields[0]->m_nSetpoint);
    }
    m_HddFields[kDaysLeftSlot]->m_nValue = m_DaysLeft.days;
}

void DataList::SetRefreshes(Refresh p_Sensors, Refresh p_Disk)
{
    m_SensorRefresh = std::move(p_Sensors);
    m_DiskRefresh = std::move(p_Disk);
}

void DataList::Update()
{
    using MBDataAquisition::SensorNames;
    dbg::LogLine(VEXA_LOCATION(L"MBDataContainer::DataList::Update"), 3, L"Start");
    if (m_pDataSource == nullptr) {
        return;
    }
    bool l_bSensorsRead = true;
    if (m_SensorRefresh) {
        l_bSensorsRead = m_SensorRefresh();
    } else {
        m_pDataSource->Update();
    }

    // One running index over fans, temperatures and voltages; the counts are read on every step
    // because the source's Update may have changed them.
    std::int32_t k = 0;
    for (std::uint32_t i = 0; l_bSensorsRead && i < SensorNames.FanCount; ++i) {
        RequestDataField(k++)->m_nValue = m_pDataSource->GetFan(i);
    }
    for (std::uint32_t i = 0; l_bSensorsRead && i < SensorNames.TempCount; ++i) {
        RequestDataField(k++)->m_nValue = m_pDataSource->GetTemp(i);
    }
    for (std::uint32_t i = 0; l_bSensorsRead && i < SensorNames.VoltageCount; ++i) {
        RequestDataField(k++)->m_nValue = m_pDataSource->GetVoltage(i);
    }

    if (m_pUpsInfo != nullptr) {
        m_pUpsInfo->Update();
        RequestDataField(m_nUpsFanIndex)->m_nValue = m_pUpsInfo->GetWorkingValue();
        const FieldPtr l_pBattery = RequestDataField(m_nUpsBattIndex);
        l_pBattery->m_nValue = m_pUpsInfo->GetChargeState();
        if (l_pBattery->Kind() == kUpsBattField) {
            static_cast<UpsBattData&>(*l_pBattery).m_nCapacity = m_pUpsInfo->m_nBatteryCapacity;
        }
    }

    // The disk source keeps its previous records when a refresh fails, so the counters do too.
    // A health reading counts only when this refresh read the drive and gave it.
    // A refresh may attach the disk source, one whose first read ended late.
    bool l_bDiskRead = false;
    if (m_DiskRefresh) {
        l_bDiskRead = m_DiskRefresh();
    } else if (m_pHarddisk != nullptr) {
        m_pHarddisk->Update();
        l_bDiskRead = true;
    }
    l_bDiskRead = l_bDiskRead && m_pHarddisk != nullptr;
    if (!l_bDiskRead) {
        // Not read this cycle (it may still be read on another thread): the counters stay, the
        // health readings are unread.
        for (std::size_t k = kHddFieldCount; k < kHddSlotCount; ++k) {
            if (auto* l_pReading = dynamic_cast<DiskReadingData*>(m_HddFields[k].get())) {
                l_pReading->m_bRead = false;
            }
        }
    }
    if (l_bDiskRead) {
        const MBDataAquisition::DiskHealth& l_Health = TakeDiskRecord();
        for (std::size_t k = 0; k < kHddFieldCount; ++k) {
            if (m_HddFields[k]) {
                m_HddFields[k]->m_nValue = l_Health.counters[k];
            }
        }
        const std::optional<std::int32_t> l_Readings[kDaysLeftSlot - kHddFieldCount] = {
            l_Health.criticalWarning, l_Health.percentageUsed, l_Health.temperature};
        // The slots behind the five hold the health readings that SetHarddisk made.
        for (std::size_t k = kHddFieldCount; k < kDaysLeftSlot; ++k) {
            if (auto* l_pReading = static_cast<DiskReadingData*>(m_HddFields[k].get())) {
                const std::optional<std::int32_t>& l_Reading = l_Readings[k - kHddFieldCount];
                l_pReading->m_bRead = l_Reading.has_value();
                l_pReading->m_nValue = l_pReading->m_bRead ? *l_Reading : 0;
            }
        }
        UpdateDriveRecord(l_Health);
    }

    dbg::LogLine(VEXA_LOCATION(L"MBDataContainer::DataList::Update"), 3, L"End");
}

DataList::FieldPtr DataList::RequestDataField(std::int32_t p_idxField) const
{
    if (static_cast<std::uint32_t>(p_idxField) >= m_Fields.size()) {
        throw err::DataListException(L"Invalid Index: " + std::to_wstring(p_idxField),
                                     VEXA_LOCATION(L"MBDataContainer::DataList::RequestDataField"),
                                     3);
    }
    FieldPtr l_pField = m_Fields[static_cast<std::size_t>(p_idxField)];
    if (!l_pField) {
        throw err::DataListException(L"Index: " + std::to_wstring(p_idxField),
                                     VEXA_LOCATION(L"MBDataContainer::DataList::RequestDataField"),
                                     4);
    }
    return l_pField;
}

DataList::Range<DataList::FieldIterator> DataList::Fields() const
{
    return {FieldIterator(this, 0), FieldIterator(this, m_Fields.size() + kHddSlotCount)};
}

DataList::Range<DataList::HddFieldIterator> DataList::HddFields() const
{
    return {HddFieldIterator(this, 0), HddFieldIterator(this, kHddSlotCount)};
}

const MBDataAquisition::DiskHealth& DataList::TakeDiskRecord()
{
    m_DiskRecord = m_pHarddisk->Health();
    m_bDiskLogonFailed = m_pHarddisk->LogonFailed();
    return m_DiskRecord;
}

bool DataList::UpsPresent() const
{
    return m_pUpsInfo != nullptr && m_pUpsInfo->IsPresent();
}

}  // namespace MBDataContainer
