#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "data/cycle_snapshot.h"
#include "data/field_kind.h"
#include "data/rating.h"
#include "data/source_freshness.h"

namespace MBDataContainer {

class DataList;

// Rates the data list's fields once a cycle, folds their ratings into one worst rating per group
// and the UPS state of charge, and builds the cycle's snapshot from them, the list's disk record
// and the sources' ages: the one place where a cycle's results are made. Every publisher reads
// the snapshot alone. Used by the worker thread alone.
class CycleRater {
public:
    // `p_List` is not owned and must outlive the rater; `p_strSensorSource` names the sensor
    // source for the reports ("SpeedFan" or "probe").
    CycleRater(const DataList& p_List, std::wstring p_strSensorSource);

    // Rates every field and folds the group results. `p_bEvaluate`: with the fields' Evaluate,
    // whose rules may log and remember what they rated, and with the trace lines of the rating;
    // otherwise with their Preview, which gives the same results without any side effect (for a
    // broadcast that publishes no ratings). The disk result is the worst rating of the disk's
    // counters since construction, or the worse current rating of its health readings; the disk
    // fields are rated a second time for it, so that a counter that has just risen counts as a
    // warning, not as an error.
    void Rate(bool p_bEvaluate);

    // How old the sources' data are, for this cycle's snapshot: a group of a stale or blocked
    // source shows at least a warning.
    void SetSourceAges(const SourceAges& p_Ages) { m_Ages = p_Ages; }

    // The cycle's results: the fields as the latest rating saw them (a disk field with the rating
    // that counts for its group; none before the first rating), the group digits as they are
    // published, the UPS state of charge, the disk record, the sources and their ages. The
    // worker's counts and the time are the caller's to add.
    CycleSnapshot Snapshot() const;

    // A group's result of the latest rating, the fields' own, before any stale source raises it.
    Rating GroupResult(FieldGroup p_Group) const { return m_Results[IndexOf(p_Group)]; }
    // The battery capacity of the UPS battery field at the latest rating.
    std::int32_t UpsStateOfCharge() const { return m_nUpsStateOfCharge; }

private:
    // The group results as they are published, in the order of kGroups. A group of a stale
    // source that has fields shows at least a warning; the results stay the fields' own, so
    // nothing of this is latched and the digits return to the fields' ratings when the source is
    // fresh again.
    std::array<Rating, kGroupCount> PublishedResults() const;

    const DataList* m_pList;
    std::wstring m_strSensorSource;
    std::array<Rating, kGroupCount> m_Results{};
    // The worst rating of the disk fields that hold their group's rating, since construction.
    Rating m_HarddiskHeld = RatingNone;
    std::int32_t m_nUpsStateOfCharge = 0;
    std::vector<FieldSnapshot> m_SeenFields;
    SourceAges m_Ages;
};

}  // namespace MBDataContainer
