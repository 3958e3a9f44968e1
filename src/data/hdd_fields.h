#pragma once

#include <cstdint>

#include "data/data_field.h"

namespace MBDataContainer {

// Power-on hours of the disk against a maximum in hours: above it rates warning, never error.
// A setpoint of 0 leaves the lifetime unwatched.
class LifetimeData : public MBDataField {
public:
    FieldKind Kind() const override { return kLifetimeField; }
    // Logs the setpoint at level 3, then rates as Preview.
    Rating Evaluate() override;
    Rating Preview() const override;
    BandText DescribeBands() const override;
    bool HoldsGroupRating() const override { return true; }
};

// A counter of defective or suspect sectors, healthy at 0. Above 0 rates warning; a count above
// every count that any such field has rated in this process rates error once and becomes the new
// highest count, so a new defect is reported as an error exactly once.
class CriticalHddEventsData : public MBDataField {
public:
    FieldKind Kind() const override { return kCriticalHddEventsField; }
    Rating Evaluate() override;
    // Warning above 0: the rating that the group records, since the broadcast rates a risen
    // counter a second time. Leaves the highest count alone.
    Rating Preview() const override;
    BandText DescribeBands() const override;
    bool HoldsGroupRating() const override { return true; }

    // The highest count rated so far in this process; never reset.
    static std::int32_t HighestCriticalCount();
};

// A health reading of the system disk that a refresh may not give: a drive or page that did not
// answer, a statistic the drive stopped reporting, rights lost since the start. Without this
// cycle's reading the field rates warning, so that a 0 never read does not pass as a sound disk.
class DiskReadingData : public MBDataField {
public:
    Rating Preview() const final { return m_bRead ? RateReading() : RatingWarning; }

    // Whether the last refresh gave this reading; the data list sets it every cycle.
    bool m_bRead = true;

protected:
    // The rating of a reading that was read.
    virtual Rating RateReading() const = 0;
};

// The drive's own verdict as bits (an NVMe drive's critical warning, an ATA drive's threshold
// flags): any bit set rates error.
class CriticalWarningData : public DiskReadingData {
public:
    FieldKind Kind() const override { return kCriticalWarningField; }
    BandText DescribeBands() const override;

protected:
    Rating RateReading() const override;
};

// A disk reading with an upper limit in its setpoint (percentage of the rated life used,
// temperature): above the limit rates warning, never error.
class UpperLimitData : public DiskReadingData {
public:
    FieldKind Kind() const override { return kDiskLimitField; }
    BandText DescribeBands() const override;

protected:
    Rating RateReading() const override;
};

// The days the system disk has left by the forecast, -1 while there is none (rated ok): at or
// below the setpoint ("DaysLeftWarning") rates warning, at or below m_nErrorDays
// ("DaysLeftError") error. Counts with this cycle's rating, so a new drive clears it.
class DaysLeftData : public MBDataField {
public:
    FieldKind Kind() const override { return kDaysLeftField; }
    Rating Preview() const override;
    BandText DescribeBands() const override;

    std::int32_t m_nErrorDays = 0;
};

}  // namespace MBDataContainer
