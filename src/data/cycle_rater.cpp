#include "data/cycle_rater.h"

#include <algorithm>
#include <utility>

#include "data/data_list.h"
#include "data/field_description.h"
#include "data/field_walk.h"
#include "data/sensor_fields.h"
#include "logging/log.h"

namespace MBDataContainer {
namespace {

// The rating's trace lines keep the name under which the logs have always shown them.
const wchar_t kEvaluate[] = L"MBBroadcast::Broadcast::Evaluate";
constexpr std::uint32_t kTraceLevel = 3;

}  // namespace

CycleRater::CycleRater(const DataList& p_List, std::wstring p_strSensorSource)
    : m_pList(&p_List), m_strSensorSource(std::move(p_strSensorSource))
{
}

void CycleRater::Rate(bool p_bEvaluate)
{
    const auto l_Rate = [p_bEvaluate](MBDataField& p_Field) {
        return p_bEvaluate ? p_Field.Evaluate() : p_Field.Preview();
    };
    Rating& l_ResultHarddisk = m_Results[IndexOf(FieldGroup::Harddisk)];
    if (p_bEvaluate) {
        dbg::LogLine(VEXA_LOCATION(kEvaluate), kTraceLevel, L"Start");
        dbg::LogValueLine(VEXA_LOCATION(kEvaluate), kTraceLevel, L"m_ResultHarddisk",
                          l_ResultHarddisk);
    }

    for (const GroupInfo& l_Group : kGroups) {
        if (l_Group.group != FieldGroup::Harddisk) {
            m_Results[IndexOf(l_Group.group)] = RatingNone;
        }
    }

    std::vector<FieldSnapshot> l_SeenFields;
    // Disk fields count for their group in the second pass alone, but their rating runs: the
    // critical-event rule remembers the counts it has seen, and the second pass below relies on
    // that.
    ForEachField(*m_pList, [this, p_bEvaluate, &l_Rate, &l_SeenFields](MBDataField& p_Field) {
        if (p_bEvaluate) {
            dbg::LogValueLine(VEXA_LOCATION(kEvaluate), kTraceLevel, p_Field.m_strName,
                              p_Field.m_nValue);
        }
        const Rating l_Result = l_Rate(p_Field);
        const FieldGroup l_Group = p_Field.Group();
        if (l_Group != FieldGroup::Harddisk) {
            Rating& l_GroupResult = m_Results[IndexOf(l_Group)];
            l_GroupResult = std::max(l_GroupResult, l_Result);
        }
        if (p_Field.Kind() == kUpsBattField) {
            m_nUpsStateOfCharge = static_cast<const UpsBattData&>(p_Field).m_nCapacity;
        }
        l_SeenFields.push_back(DescribeField(p_Field, l_Result));
    });

    // The disk fields came last in the walk above; their second rating is the one that counts.
    std::size_t l_idxSeen = l_SeenFields.size();
    ForEachHddField(*m_pList, [&l_idxSeen](MBDataField&) { --l_idxSeen; });

    // The counters' worst rating is held from cycle to cycle; the health readings (verdict, wear,
    // temperature) count with this cycle's rating, so the group recovers when they do.
    Rating l_CurrentReadings = RatingNone;
    ForEachHddField(*m_pList, [this, p_bEvaluate, &l_Rate, &l_SeenFields, &l_idxSeen,
                               &l_CurrentReadings, &l_ResultHarddisk](MBDataField& p_Field) {
        if (p_bEvaluate) {
            dbg::LogValueLine(VEXA_LOCATION(kEvaluate), kTraceLevel, p_Field.m_strName,
                              p_Field.m_nValue);
        }
        const Rating l_CurrentResult = l_Rate(p_Field);
        if (p_Field.HoldsGroupRating()) {
            m_HarddiskHeld = std::max(m_HarddiskHeld, l_CurrentResult);
        } else {
            l_CurrentReadings = std::max(l_CurrentReadings, l_CurrentResult);
        }
        l_ResultHarddisk = std::max(m_HarddiskHeld, l_CurrentReadings);
        if (p_bEvaluate) {
            dbg::LogValueLine(VEXA_LOCATION(kEvaluate), kTraceLevel, L"l_CurrentResult",
                              l_CurrentResult);
            dbg::LogValueLine(VEXA_LOCATION(kEvaluate), kTraceLevel, L"m_ResultHarddisk",
                              l_ResultHarddisk);
        }
        l_SeenFields[l_idxSeen++].rating = l_CurrentResult;
    });

    if (p_bEvaluate) {
        dbg::LogLine(VEXA_LOCATION(kEvaluate), kTraceLevel, L"End");
    }
    m_SeenFields = std::move(l_SeenFields);
}

std::array<Rating, kGroupCount> CycleRater::PublishedResults() const
{
    const bool l_bSensorsStale = m_Ages.sensorsStale || m_Ages.sensorsBlocked;
    const bool l_bDiskStale = m_Ages.diskStale || m_Ages.diskBlocked;
    // A group without fields holds no reading that could be stale: it stays "none".
    std::array<Rating, kGroupCount> l_Results{};
    for (std::size_t i = 0; i < kGroupCount; ++i) {
        const Rating l_Result = m_Results[i];
        const bool l_bStale = (kGroups[i].source == GroupSource::Sensors && l_bSensorsStale) ||
                              (kGroups[i].source == GroupSource::Disk && l_bDiskStale);
        l_Results[i] =
            l_bStale && l_Result != RatingNone ? std::max(l_Result, RatingWarning) : l_Result;
    }
    return l_Results;
}

CycleSnapshot CycleRater::Snapshot() const
{
    CycleSnapshot l_Snapshot;
    l_Snapshot.fields = m_SeenFields;
    const std::array<Rating, kGroupCount> l_Results = PublishedResults();
    for (std::size_t i = 0; i < kGroupCount; ++i) {
        l_Snapshot.groups.push_back({kGroups[i].key, l_Results[i]});
    }
    l_Snapshot.upsStateOfCharge = m_nUpsStateOfCharge;
    l_Snapshot.upsPresent = m_pList->UpsPresent();
    l_Snapshot.sensorSource = m_strSensorSource;
    l_Snapshot.disk = m_pList->DiskRecord();
    l_Snapshot.diskLogonFailed = m_pList->DiskLogonFailed();
    l_Snapshot.daysLeft = m_pList->DaysLeft();
    l_Snapshot.diskFirstSeen = m_pList->DiskFirstSeen();
    l_Snapshot.sensorAgeSeconds = m_Ages.sensorSeconds;
    l_Snapshot.diskAgeSeconds = m_Ages.diskSeconds;
    l_Snapshot.sensorsStale = m_Ages.sensorsStale;
    l_Snapshot.diskStale = m_Ages.diskStale;
    l_Snapshot.diskNeverRead = m_Ages.diskNeverRead;
    l_Snapshot.sensorsBlocked = m_Ages.sensorsBlocked;
    l_Snapshot.diskBlocked = m_Ages.diskBlocked;
    l_Snapshot.sensorBlockedSeconds = m_Ages.sensorBlockedSeconds;
    l_Snapshot.diskBlockedSeconds = m_Ages.diskBlockedSeconds;
    return l_Snapshot;
}

}  // namespace MBDataContainer
