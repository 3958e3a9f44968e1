#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "data/cycle_snapshot.h"

#include "data/field_kind.h"
#include "data/rating.h"

namespace MBDataContainer {
class DataList;
}

namespace MBBroadcast {

// Publishes the data list to the HMI. Holds the group results that Evaluate folds from the
// fields' ratings: one worst rating per group of fields, and the UPS state of charge.
class Broadcast {
public:
    // `p_pDataList` is not owned; it must outlive the broadcast.
    explicit Broadcast(MBDataContainer::DataList* p_pDataList);
    virtual ~Broadcast();
    Broadcast(const Broadcast&) = delete;
    Broadcast& operator=(const Broadcast&) = delete;

    virtual void Send() = 0;

    // Rates every field and folds the ratings into the group results. The disk result is the
    // worst rating of the disk's counters since construction, or the worse current rating of its
    // health readings; the disk fields are rated a second time for it, so that a counter that has
    // just risen counts as a warning, not as an error.
    void Evaluate();

    // The fields as the latest rating saw them (a disk field with the rating that counts for its
    // group), the group results and the UPS state of charge. Empty fields before the first rating.
    void FillSnapshot(MBDataContainer::CycleSnapshot& p_Snapshot) const;

    // Whose data has stopped changing, for this cycle's publishing: the sensor source (fans,
    // temperatures, voltages) or the system disk. Set before every Send.
    void SetStaleSources(bool p_bSensors, bool p_bDisk);

protected:
    // Evaluate (`p_bEvaluate`), or the same group results from the fields' Preview without a
    // trace line: a broadcast that publishes no ratings still rates every field for the cycle's
    // snapshot, with no side effect on the log or on any field's remembered state.
    void Rate(bool p_bEvaluate);

    std::int32_t m_nResultBase = 0;
    MBDataContainer::DataList* m_pDataList;
    MBDataContainer::Rating m_ResultFans = MBDataContainer::RatingNone;
    MBDataContainer::Rating m_ResultTemp = MBDataContainer::RatingNone;
    MBDataContainer::Rating m_ResultVoltage = MBDataContainer::RatingNone;
    MBDataContainer::Rating m_ResultCmosBatt = MBDataContainer::RatingNone;
    MBDataContainer::Rating m_ResultUps = MBDataContainer::RatingNone;
    MBDataContainer::Rating m_ResultHarddisk = MBDataContainer::RatingNone;
    // The worst rating of the disk fields that hold their group's rating, since construction.
    MBDataContainer::Rating m_ResultHarddiskHeld = MBDataContainer::RatingNone;
    std::int32_t m_nUpsStateOfCharge = 0;
    std::wstring m_strValuesFile;

    // The group results as they are published, in the order of kGroups. A group of a stale
    // source that has fields shows at least a warning; the results above stay the fields' own, so
    // nothing of this is latched and the digits return to the fields' ratings when the source is
    // fresh again.
    using GroupResults = std::array<MBDataContainer::Rating, MBDataContainer::kGroupCount>;
    GroupResults PublishedResults() const;

private:
    // The member that holds a group's result.
    static MBDataContainer::Rating Broadcast::*ResultOf(MBDataContainer::FieldGroup p_Group);

    std::vector<MBDataContainer::FieldSnapshot> m_SeenFields;
    bool m_bSensorsStale = false;
    bool m_bDiskStale = false;
};

}  // namespace MBBroadcast
