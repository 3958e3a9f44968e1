// The drive record's parser: any bytes in, a record within its bounds or nothing out; a record
// read reads back the same after it is written again.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "data/drive_record.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace MBDataContainer;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::optional<DriveRecord> record = ParseDriveRecord(text);
    if (!record) {
        return 0;
    }
    fuzz::Check(record->drives.size() <= DriveRecord::kMaxDrives, "at most four drives");
    for (const DriveHistory& drive : record->drives) {
        fuzz::Check(drive.days.size() <= DriveRecord::kMaxDays, "at most 400 days a drive");
        for (std::size_t i = 0; i < drive.days.size(); ++i) {
            fuzz::Check(drive.days[i].day >= drive.firstSeen, "no day before first seen");
            fuzz::Check(i == 0 || drive.days[i - 1].day < drive.days[i].day, "days in order");
        }
    }
    const std::string rendered = RenderDriveRecord(*record);
    const std::optional<DriveRecord> again = ParseDriveRecord(rendered);
    fuzz::Check(again.has_value(), "a written record reads");
    fuzz::Check(RenderDriveRecord(*again) == rendered, "a written record reads back the same");
    return 0;
}
