#pragma once

#include <array>
#include <cstdint>

#include "acquisition/vexa_tool.h"

namespace MBDataAquisition {

// Reads fan and temperature readings from the shared memory block that the outside sensor tool
// publishes. Without the tool every reading is 0.
class SpeedFan : public VexaTool {
public:
    static constexpr std::uint32_t kSensorCount = 32;
    // The tool's block name; as a file name it is relative to the working directory.
    static constexpr const wchar_t* kBlockName = L"SFSharedMemory_ALM";
    // Layout of the block: 32 temperatures at 18, 32 fan speeds at 146, 4 bytes each.
    static constexpr std::uint32_t kBlockSize = 402;
    static constexpr std::uint32_t kTempOffset = 18;
    static constexpr std::uint32_t kFanOffset = 146;

    // Publishes 32 fans (Fan0 … Fan31), 32 temperatures (Temp0 … Temp31), no voltages.
    SpeedFan();

    // Copies the readings from the shared block; keeps the previous ones if it cannot be mapped.
    void Update() override;

    // Indexes the readings directly; an index outside the block reads as 0.
    std::int32_t GetFan(std::uint32_t p_idxValue) override;
    std::int32_t GetTemp(std::uint32_t p_idxValue) override;
    std::int32_t GetVoltage(std::uint32_t p_idxValue) override;
    std::int32_t GetBattery(std::uint32_t p_idxValue) override;

    std::array<std::uint32_t, kSensorCount> m_aFan{};
    std::array<std::uint32_t, kSensorCount> m_aTemp{};
};

}  // namespace MBDataAquisition
