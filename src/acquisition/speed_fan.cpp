#include "acquisition/speed_fan.h"

#include <string>

#include "acquisition/sensor_names.h"
#include "platform/byte_order.h"
#include "platform/seam.h"
#include "platform/shared_memory.h"
#include "support/scoped_handle.h"

namespace MBDataAquisition {

namespace {

// Unmaps the view on every way out of the read.
class MappedView {
public:
    MappedView(platform::SharedMemory& p_Memory, void* p_pView)
        : m_Memory(p_Memory), m_pView(p_pView)
    {
    }
    ~MappedView()
    {
        if (m_pView != nullptr) {
            m_Memory.UnmapView(m_pView);
        }
    }
    MappedView(const MappedView&) = delete;
    MappedView& operator=(const MappedView&) = delete;
    const unsigned char* Bytes() const { return static_cast<const unsigned char*>(m_pView); }

private:
    platform::SharedMemory& m_Memory;
    void* m_pView;
};

}  // namespace

SpeedFan::SpeedFan()
{
    SensorNames.FanCount = kSensorCount;
    SensorNames.TempCount = kSensorCount;
    SensorNames.VoltageCount = 0;
    for (std::uint32_t i = 0; i < kSensorCount; ++i) {
        StoreSensorName(SensorNames.FanNames, i, L"Fan" + std::to_wstring(i));
    }
    for (std::uint32_t i = 0; i < kSensorCount; ++i) {
        StoreSensorName(SensorNames.TempNames, i, L"Temp" + std::to_wstring(i));
    }
}

void SpeedFan::Update()
{
    platform::SharedMemory& l_Memory = platform::Use<platform::SharedMemory>();
    const auto l_fnClose = [&l_Memory](platform::Handle p_hHandle) { l_Memory.Close(p_hHandle); };

    // When the tool runs, its named mapping exists and is read, never written. Otherwise an
    // unnamed, zero-filled mapping of the paging file stands in and every reading is 0: no file
    // is made in the working folder, where another user could plant one with readings of their
    // choice, and no one else can reach the stand-in.
    platform::Handle l_hBlock = l_Memory.OpenMapping(kBlockName);
    if (!platform::IsUsableHandle(l_hBlock)) {
        l_hBlock = l_Memory.CreateMapping(platform::kInvalidHandle, L"", kBlockSize);
    }
    const utils::ScopedHandle l_hMapping(l_hBlock, l_fnClose);
    m_strRawData.clear();
    if (!l_hMapping.IsValid()) {
        return;
    }
    const MappedView l_View(l_Memory, l_Memory.MapView(l_hMapping.Get(), kBlockSize, false));
    const unsigned char* l_pBlock = l_View.Bytes();
    if (l_pBlock == nullptr) {
        return;
    }
    // The temperature and fan ranges, which lie next to each other: a tool that hangs leaves
    // them as they are.
    static_assert(kFanOffset == kTempOffset + 4 * kSensorCount);
    m_strRawData.assign(reinterpret_cast<const char*>(l_pBlock) + kTempOffset,
                        reinterpret_cast<const char*>(l_pBlock) + kFanOffset + 4 * kSensorCount);

    // Copied bit for bit and without synchronisation with the writer: a reading may be torn
    // across one of its updates, which the next cycle corrects.
    for (std::uint32_t i = 0; i < kSensorCount; ++i) {
        const std::uint32_t l_nValue = platform::le::Load32(l_pBlock + kFanOffset + 4 * i);
        m_aFan[i] = l_nValue;
        m_mapFan[SensorNameAt(SensorNames.FanNames, i)] = l_nValue;
    }
    for (std::uint32_t i = 0; i < kSensorCount; ++i) {
        const std::uint32_t l_nValue = platform::le::Load32(l_pBlock + kTempOffset + 4 * i);
        m_aTemp[i] = l_nValue;
        m_mapTemp[SensorNameAt(SensorNames.TempNames, i)] = l_nValue;
    }
}

std::int32_t SpeedFan::GetFan(std::uint32_t p_idxValue)
{
    return p_idxValue < kSensorCount ? static_cast<std::int32_t>(m_aFan[p_idxValue]) : 0;
}

std::int32_t SpeedFan::GetTemp(std::uint32_t p_idxValue)
{
    return p_idxValue < kSensorCount ? static_cast<std::int32_t>(m_aTemp[p_idxValue]) : 0;
}

std::int32_t SpeedFan::GetVoltage(std::uint32_t /*p_idxValue*/)
{
    return 0;
}

std::int32_t SpeedFan::GetBattery(std::uint32_t /*p_idxValue*/)
{
    return 0;
}

}  // namespace MBDataAquisition
