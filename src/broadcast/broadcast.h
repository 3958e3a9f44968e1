#pragma once

#include <string>

#include "data/cycle_snapshot.h"

namespace MBBroadcast {

// Publishes a cycle's results to the HMI. It reads the cycle's snapshot alone: the rating and
// the group digits are made once a cycle in the data layer (CycleRater), for every publisher.
class Broadcast {
public:
    Broadcast();
    virtual ~Broadcast();
    Broadcast(const Broadcast&) = delete;
    Broadcast& operator=(const Broadcast&) = delete;

    // Publishes the readings of the cycle's snapshot, and its group digits where the HMI project
    // reads ratings.
    virtual void Send(const MBDataContainer::CycleSnapshot& p_Cycle) = 0;

    // The broadcast publishes ratings: the cycle rates its fields with their Evaluate, whose
    // rules log and remember what they rated. One that publishes none has them previewed, for
    // the snapshot alone, without any such side effect.
    virtual bool PublishesRatings() const = 0;

protected:
    std::wstring m_strValuesFile;
};

}  // namespace MBBroadcast
