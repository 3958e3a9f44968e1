#include "broadcast/broadcast.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "broadcast/field_description.h"
#include "broadcast/field_walk.h"
#include "data/sensor_fields.h"
#include "logging/log.h"

namespace MBBroadcast {
namespace {

const wchar_t kEvaluate[] = L"MBBroadcast::Broadcast::Evaluate";
constexpr std::uint32_t kTraceLevel = 3;

}  // namespace

void Broadcast::Evaluate()
{
    Rate(true);
}

void Broadcast::Rate(bool p_bEvaluate)
{
    using namespace MBDataContainer;

    const auto l_Rate = [p_bEvaluate](MBDataField& p_Field) {
        return p_bEvaluate ? p_Field.Evaluate() : p_Field.Preview();
    };
    if (p_bEvaluate) {
        dbg::LogLine(VEXA_LOCATION(kEvaluate), kTraceLevel, L"Start");
        dbg::LogValueLine(VEXA_LOCATION(kEvaluate), kTraceLevel, L"m_ResultHarddisk",
                          m_ResultHarddisk);
    }

    m_ResultFans = m_nResultBase;
    m_ResultTemp = m_nResultBase;
    m_ResultVoltage = m_nResultBase;
    m_ResultCmosBatt = m_nResultBase;
    m_ResultUps = m_nResultBase;

    std::vector<MBDataContainer::FieldSnapshot> l_SeenFields;
    // Disk fields belong to no group here, but their rating runs: the critical-event rule
    // remembers the counts it has seen, and the second pass below relies on that.
    ForEachField(*m_pDataList, [this, p_bEvaluate, &l_Rate, &l_SeenFields](MBDataField& p_Field) {
        if (p_bEvaluate) {
            dbg::LogValueLine(VEXA_LOCATION(kEvaluate), kTraceLevel, p_Field.m_strName,
                              p_Field.m_nValue);
        }
        const Rating l_Result = l_Rate(p_Field);
        if (dynamic_cast<FanData*>(&p_Field) != nullptr) {
            m_ResultFans = std::max(m_ResultFans, l_Result);
        } else if (dynamic_cast<TempData*>(&p_Field) != nullptr) {
            m_ResultTemp = std::max(m_ResultTemp, l_Result);
        } else if (dynamic_cast<VoltageData*>(&p_Field) != nullptr) {
            m_ResultVoltage = std::max(m_ResultVoltage, l_Result);
        } else if (dynamic_cast<CMosBattData*>(&p_Field) != nullptr) {
            m_ResultCmosBatt = std::max(m_ResultCmosBatt, l_Result);
        }
        if (const auto* l_pBattery = dynamic_cast<UpsBattData*>(&p_Field)) {
            m_ResultUps = std::max(m_ResultUps, l_Result);
            m_nUpsStateOfCharge = l_pBattery->m_nCapacity;
        }
        l_SeenFields.push_back(DescribeField(p_Field, l_Result));
    });

    // The disk fields came last in the walk above; their second rating is the one that counts.
    std::size_t l_idxSeen = l_SeenFields.size();
    ForEachHddField(*m_pDataList, [&l_idxSeen](MBDataField&) { --l_idxSeen; });

    // The counters' worst rating is held from cycle to cycle; the health readings (verdict, wear,
    // temperature) count with this cycle's rating, so the group recovers when they do.
    Rating l_CurrentReadings = RatingNone;
    ForEachHddField(*m_pDataList, [this, p_bEvaluate, &l_Rate, &l_SeenFields, &l_idxSeen,
                                   &l_CurrentReadings](MBDataField& p_Field) {
        if (p_bEvaluate) {
            dbg::LogValueLine(VEXA_LOCATION(kEvaluate), kTraceLevel, p_Field.m_strName,
                              p_Field.m_nValue);
        }
        const Rating l_CurrentResult = l_Rate(p_Field);
        if (p_Field.HoldsGroupRating()) {
            m_ResultHarddiskHeld = std::max(m_ResultHarddiskHeld, l_CurrentResult);
        } else {
            l_CurrentReadings = std::max(l_CurrentReadings, l_CurrentResult);
        }
        m_ResultHarddisk = std::max(m_ResultHarddiskHeld, l_CurrentReadings);
        if (p_bEvaluate) {
            dbg::LogValueLine(VEXA_LOCATION(kEvaluate), kTraceLevel, L"l_CurrentResult",
                              l_CurrentResult);
            dbg::LogValueLine(VEXA_LOCATION(kEvaluate), kTraceLevel, L"m_ResultHarddisk",
                              m_ResultHarddisk);
        }
        l_SeenFields[l_idxSeen++].rating = l_CurrentResult;
    });

    if (p_bEvaluate) {
        dbg::LogLine(VEXA_LOCATION(kEvaluate), kTraceLevel, L"End");
    }
    m_SeenFields = std::move(l_SeenFields);
}

void Broadcast::SetStaleSources(bool p_bSensors, bool p_bDisk)
{
    m_bSensorsStale = p_bSensors;
    m_bDiskStale = p_bDisk;
}

Broadcast::GroupResults Broadcast::PublishedResults() const
{
    using namespace MBDataContainer;
    // A group without fields holds no reading that could be stale: it stays "none".
    const auto l_fnFloor = [](Rating p_Result, bool p_bStale) {
        return p_bStale && p_Result != RatingNone ? std::max(p_Result, RatingWarning) : p_Result;
    };
    return {l_fnFloor(m_ResultFans, m_bSensorsStale),    l_fnFloor(m_ResultTemp, m_bSensorsStale),
            l_fnFloor(m_ResultVoltage, m_bSensorsStale), m_ResultCmosBatt,
            l_fnFloor(m_ResultHarddisk, m_bDiskStale),   m_ResultUps};
}

void Broadcast::FillSnapshot(MBDataContainer::CycleSnapshot& p_Snapshot) const
{
    const GroupResults l_Results = PublishedResults();
    p_Snapshot.fields = m_SeenFields;
    p_Snapshot.groups = {
        {L"IPC_FANS", l_Results.fans},         {L"IPC_TEMP", l_Results.temp},
        {L"IPC_VOLTAGE", l_Results.voltage},   {L"IPC_CMOS_BAT", l_Results.cmosBatt},
        {L"IPC_HARDDISK", l_Results.harddisk}, {L"UPS_WORKING", l_Results.ups}};
    p_Snapshot.upsStateOfCharge = m_nUpsStateOfCharge;
    p_Snapshot.daysLeft = m_pDataList->DaysLeft();
    p_Snapshot.diskFirstSeen = m_pDataList->DiskFirstSeen();
}

}  // namespace MBBroadcast
