#pragma once

#include <cstdint>
#include <string>

#include "data/rating.h"

namespace MBDataContainer {

// One monitored quantity: setpoint, latest reading, tolerance bands in percent of the setpoint
// and the name under which it is published. The data list writes the members directly; each
// kind rates its reading with its own rule. The class of a field is its type tag.
class MBDataField {
public:
    MBDataField() = default;
    virtual ~MBDataField() = default;

    virtual Rating Evaluate() = 0;

    std::int32_t m_nSetpoint = 0;
    std::int32_t m_nValue = 0;
    std::int32_t m_nWarningPercent = 0;
    std::int32_t m_nErrorPercent = 0;
    std::wstring m_strName;

protected:
    MBDataField(const MBDataField&) = default;
    MBDataField& operator=(const MBDataField&) = default;
};

}  // namespace MBDataContainer
