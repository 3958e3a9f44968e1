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

    for (const GroupInfo& l_Group : kGroups) {
        if (l_Group.group != FieldGroup::Harddisk) {
            this->*ResultOf(l_Group.group) = m_nResultBase;
        }
    }

    std::vector<MBDataContainer::FieldSnapshot> l_SeenFields;
    // Disk fields count for their group in the second pass alone, but their rating runs: the
    // critical-event rule remembers the counts it has seen, and the second pass below relies on
    // that.
    ForEachField(*m_pDataList, [this, p_bEvaluate, &l_Rate, &l_SeenFields](MBDataField& p_Field) {
        if (p_bEvaluate) {
            dbg::LogValueLine(VEXA_LOCATION(kEvaluate), kTraceLevel, p_Field.m_strName,
                              p_Field.m_nValue);
        }
        const Rating l_Result = l_Rate(p_Field);
        const FieldGroup l_Group = p_Field.Group();
        if (l_Group != FieldGroup::Harddisk) {
            Rating& l_GroupResult = this->*ResultOf(l_Group);
            l_GroupResult = std::max(l_GroupResult, l_Result);
        }
        if (p_Field.Kind() == kUpsBattField) {
            m_nUpsStateOfCharge = static_cast<const UpsBattData&>(p_Field).m_nCapacity;
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

MBDataContainer::Rating Broadcast::*Broadcast::ResultOf(MBDataContainer::FieldGroup p_Group)
{
    // In the order of kGroups.
    static constexpr MBDataContainer::Rating Broadcast::*s_Members[MBDataContainer::kGroupCount] = {
        &Broadcast::m_ResultFans,     &Broadcast::m_ResultTemp,     &Broadcast::m_ResultVoltage,
        &Broadcast::m_ResultCmosBatt, &Broadcast::m_ResultHarddisk, &Broadcast::m_ResultUps};
    return s_Members[MBDataContainer::IndexOf(p_Group)];
}

Broadcast::GroupResults Broadcast::PublishedResults() const
{
    using namespace MBDataContainer;
    // A group without fields holds no reading that could be stale: it stays "none".
    GroupResults l_Results{};
    for (std::size_t i = 0; i < kGroupCount; ++i) {
        const Rating l_Result = this->*ResultOf(kGroups[i].group);
        const bool l_bStale = (kGroups[i].source == GroupSource::Sensors && m_bSensorsStale) ||
                              (kGroups[i].source == GroupSource::Disk && m_bDiskStale);
        l_Results[i] =
            l_bStale && l_Result != RatingNone ? std::max(l_Result, RatingWarning) : l_Result;
    }
    return l_Results;
}

void Broadcast::FillSnapshot(MBDataContainer::CycleSnapshot& p_Snapshot) const
{
    const GroupResults l_Results = PublishedResults();
    p_Snapshot.fields = m_SeenFields;
    p_Snapshot.groups.clear();
    for (std::size_t i = 0; i < MBDataContainer::kGroupCount; ++i) {
        p_Snapshot.groups.push_back({MBDataContainer::kGroups[i].key, l_Results[i]});
    }
    p_Snapshot.upsStateOfCharge = m_nUpsStateOfCharge;
    p_Snapshot.daysLeft = m_pDataList->DaysLeft();
    p_Snapshot.diskFirstSeen = m_pDataList->DiskFirstSeen();
}

}  // namespace MBBroadcast
