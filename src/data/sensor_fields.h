#pragma once

#include <cstdint>

#include "data/data_field.h"

namespace MBDataContainer {

// Upper limit: readings below the setpoint are always fine.
class TempData : public MBDataField {
public:
    FieldKind Kind() const override { return kTempField; }
    Rating Preview() const override;
    BandText DescribeBands() const override;
};

// Two-sided band around the setpoint; negative rails are rated by their magnitude.
class VoltageData : public MBDataField {
public:
    FieldKind Kind() const override { return kVoltageField; }
    Rating Preview() const override;
    BandText DescribeBands() const override;
};

// Lower limit: a fan faster than its setpoint is always fine.
class FanData : public MBDataField {
public:
    FieldKind Kind() const override { return kFanField; }
    Rating Preview() const override;
    BandText DescribeBands() const override;
};

// Lower limit with a signed short cut.
class CMosBattData : public MBDataField {
public:
    FieldKind Kind() const override { return kCMosBattField; }
    Rating Preview() const override;
    BandText DescribeBands() const override;
};

// Same rule as the CMOS battery, but a kind of its own, in a group of its own.
class UpsBattData : public MBDataField {
public:
    FieldKind Kind() const override { return kUpsBattField; }
    Rating Preview() const override;
    BandText DescribeBands() const override;

    // Battery capacity in percent as the UPS service reports it.
    std::int32_t m_nCapacity = 0;
};

}  // namespace MBDataContainer
