#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

namespace MBDataAquisition {

// A source of motherboard readings (and the setpoint reader, which offers setpoints the same
// way). The data list calls Update once per cycle and then asks for reading i of each kind,
// for i below the counts published in SensorNames. The base keeps the latest readings by
// sensor name and answers by looking the name of index i up in them: an unknown index or a
// name never stored reads as 0.
class VexaTool {
public:
    VexaTool() = default;
    virtual ~VexaTool() = default;

    virtual void Update() = 0;
    virtual std::int32_t GetFan(std::uint32_t p_idxValue);
    virtual std::int32_t GetTemp(std::uint32_t p_idxValue);
    virtual std::int32_t GetVoltage(std::uint32_t p_idxValue);
    virtual std::int32_t GetBattery(std::uint32_t p_idxValue);

    // The raw data that the last Update took its readings from, for telling whether the source
    // still delivers: data that stops changing is stale. Empty when the last Update found none.
    const std::string& RawData() const { return m_strRawData; }

    std::unordered_map<std::wstring, std::uint32_t> m_mapFan;
    std::unordered_map<std::wstring, std::uint32_t> m_mapTemp;
    std::unordered_map<std::wstring, std::int32_t> m_mapVoltage;
    std::unordered_map<std::wstring, std::int32_t> m_mapBattery;

protected:
    VexaTool(const VexaTool&) = default;
    VexaTool& operator=(const VexaTool&) = default;

    std::string m_strRawData;
};

}  // namespace MBDataAquisition
