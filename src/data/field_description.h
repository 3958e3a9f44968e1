#pragma once

#include "data/cycle_snapshot.h"
#include "data/data_field.h"

namespace MBDataContainer {

// The field's name, kind, reading, setpoint and bands, with the rating it was given.
FieldSnapshot DescribeField(const MBDataField& field, Rating rating);

}  // namespace MBDataContainer
