#pragma once

#include <cstdint>
#include <string>

#include "data/field_kind.h"
#include "data/rating.h"

namespace MBDataContainer {

// The readings that rate warning and error, written for a person ("< 2880", "> 66"); empty where
// the field's rule has no such band.
struct BandText {
    std::wstring warning;
    std::wstring error;
};

// One monitored quantity: setpoint, latest reading, tolerance bands in percent of the setpoint
// and the name under which it is published. The data list writes the members directly; each
// kind rates its reading with its own rule and says which kind it is, which names its group.
class MBDataField {
public:
    MBDataField() = default;
    virtual ~MBDataField() = default;

    // What the field measures; its group follows from it (kKinds).
    virtual FieldKind Kind() const = 0;
    FieldGroup Group() const { return InfoOf(Kind()).group; }

    // Rates the reading as the field's group records it. Some kinds log or remember what they
    // rated; by default this is Preview.
    virtual Rating Evaluate() { return Preview(); }
    // The rating that Evaluate's group result would record for this reading, with no side
    // effect: nothing logged, no remembered state changed.
    virtual Rating Preview() const = 0;
    // The bands of Evaluate's rule for the current setpoint and percentages; none by default.
    virtual BandText DescribeBands() const { return {}; }
    // The group keeps the worst rating this field ever had (the disk's counters: a defect once
    // seen is not forgotten); other fields count with their current rating alone.
    virtual bool HoldsGroupRating() const { return false; }

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
