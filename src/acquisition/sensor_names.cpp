#include "acquisition/sensor_names.h"

namespace MBDataAquisition {

SensorNameTable SensorNames;

void StoreSensorName(std::vector<std::wstring>& names, std::uint32_t index,
                     const std::wstring& name)
{
    if (index > kMaxSensorNameIndex) {
        return;
    }
    if (names.size() <= index) {
        names.resize(static_cast<std::size_t>(index) + 1);
    }
    names[index] = name;
}

std::wstring SensorNameAt(const std::vector<std::wstring>& names, std::uint32_t index)
{
    return index < names.size() ? names[index] : std::wstring();
}

}  // namespace MBDataAquisition
