#pragma once

#include "data/cycle_snapshot.h"
#include "data/data_field.h"

namespace MBBroadcast {

// The field's name, kind, reading, setpoint and bands, with the rating it was given.
MBDataContainer::FieldSnapshot DescribeField(const MBDataContainer::MBDataField& field,
                                             MBDataContainer::Rating rating);

}  // namespace MBBroadcast
