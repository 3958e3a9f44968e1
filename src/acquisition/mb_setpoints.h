#pragma once

#include <string>

#include "acquisition/vexa_tool.h"

namespace MBDataAquisition {

// The setpoints of the active data source's sensors, read from Computer.ini under the sensors'
// own names and offered through the data-source interface.
class MBSetpoints : public VexaTool {
public:
    MBSetpoints() = default;

    // Reads the setpoint of every sensor published in SensorNames; batteries are not read.
    void Update() override;

    // "SpeedFan" when that source is in use; an empty section becomes "MBProbe" at Update.
    std::wstring m_strSection;
};

}  // namespace MBDataAquisition
