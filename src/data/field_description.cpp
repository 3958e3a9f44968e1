#include "data/field_description.h"

#include <utility>

namespace MBDataContainer {

FieldSnapshot DescribeField(const MBDataField& field, Rating rating)
{
    FieldSnapshot description;
    description.name = field.m_strName;
    description.kind = InfoOf(field.Kind()).name;
    description.value = field.m_nValue;
    description.setpoint = field.m_nSetpoint;
    description.rating = rating;
    BandText bands = field.DescribeBands();
    description.warningBand = std::move(bands.warning);
    description.errorBand = std::move(bands.error);
    return description;
}

}  // namespace MBDataContainer
