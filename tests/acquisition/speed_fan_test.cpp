#include "acquisition/speed_fan.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "acquisition/sensor_names.h"
#include "common/scoped_directory.h"
#include "platform/seam.h"
#include "platform/shared_memory.h"

namespace MBDataAquisition {
namespace {

void PutLittleEndian32(unsigned char* bytes, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<unsigned char>(value >> (8 * i));
    }
}

class SpeedFanTest : public testing::Test {
protected:
    void SetUp() override { SensorNames = SensorNameTable{}; }
    void TearDown() override { SensorNames = SensorNameTable{}; }

    vexa_test::ScopedWorkingDirectory m_folder;
};

TEST_F(SpeedFanTest, PublishesThirtyTwoFansAndTemperatures)
{
    SensorNames.VoltageCount = 8;
    StoreSensorName(SensorNames.BatteryNames, 0, L"VBat");
    const SpeedFan source;
    EXPECT_EQ(SensorNames.FanCount, 32u);
    EXPECT_EQ(SensorNames.TempCount, 32u);
    EXPECT_EQ(SensorNames.VoltageCount, 0u);
    EXPECT_EQ(SensorNames.FanNames.size(), 32u);
    EXPECT_EQ(SensorNames.FanNames[5], L"Fan5");
    EXPECT_EQ(SensorNames.TempNames[31], L"Temp31");
    EXPECT_EQ(SensorNames.BatteryNames[0], L"VBat");  // left as it was
}

// Without the tool the readings are zeros of unnamed memory: no file is made in the working
// folder, and on Windows a file planted there under the block's name is not read.
TEST_F(SpeedFanTest, WithoutTheToolEveryReadingIsZeroAndNoFileIsMade)
{
#ifdef _WIN32
    {
        std::string planted(402, '\0');
        planted[146] = 0x10;
        std::ofstream("SFSharedMemory_ALM", std::ios::binary) << planted;
    }
#endif
    SpeedFan source;
    source.m_aFan[3] = 99;
    source.Update();
    for (std::uint32_t i = 0; i < 32; ++i) {
        EXPECT_EQ(source.GetFan(i), 0);
        EXPECT_EQ(source.GetTemp(i), 0);
        EXPECT_EQ(source.GetVoltage(i), 0);
        EXPECT_EQ(source.GetBattery(i), 0);
    }
    EXPECT_EQ(source.m_mapFan.at(L"Fan31"), 0u);
    EXPECT_EQ(source.RawData(), std::string(256, '\0'));
#ifndef _WIN32
    EXPECT_FALSE(std::filesystem::exists("SFSharedMemory_ALM"));
#endif
}

TEST_F(SpeedFanTest, ReadsTheBlockThatIsHeld)
{
    // In this process the writer's mapping exists first, so the reader is given it, as it is
    // given the tool's mapping when the tool runs.
    platform::SharedMemory& memory = platform::SharedMemory::System();
    const platform::Handle mapping =
        memory.CreateMapping(platform::kInvalidHandle, L"SFSharedMemory_ALM", 402);
    ASSERT_TRUE(platform::IsUsableHandle(mapping));
    auto* block = static_cast<unsigned char*>(memory.MapView(mapping, 402, true));
    ASSERT_NE(block, nullptr);
    PutLittleEndian32(block + 146, 2500);
    PutLittleEndian32(block + 18, 4100);
    PutLittleEndian32(block + 146 + 4 * 31, 0xFFFFFFFFu);
    PutLittleEndian32(block + 18 + 4 * 31, 77);
    PutLittleEndian32(block + 274, 12345);  // beyond the readings

    SpeedFan source;
    source.Update();
    EXPECT_EQ(source.GetFan(0), 2500);
    EXPECT_EQ(source.GetTemp(0), 4100);
    EXPECT_EQ(source.m_mapFan.at(L"Fan0"), 2500u);
    EXPECT_EQ(source.m_mapTemp.at(L"Temp0"), 4100u);
    EXPECT_EQ(source.m_aFan[31], 0xFFFFFFFFu);
    EXPECT_EQ(source.GetTemp(31), 77);
    EXPECT_EQ(source.GetFan(1), 0);
    EXPECT_EQ(source.GetFan(32), 0);
    EXPECT_EQ(source.GetVoltage(0), 0);

    // The raw data that tell a hanging tool: the readings' bytes, not the rest of the block.
    const std::string rawData = source.RawData();
    EXPECT_EQ(rawData.size(), 256u);
    PutLittleEndian32(block + 274, 54321);
    source.Update();
    EXPECT_EQ(source.RawData(), rawData);
    PutLittleEndian32(block + 18 + 4 * 31, 78);
    source.Update();
    EXPECT_NE(source.RawData(), rawData);

    memory.UnmapView(block);
    memory.Close(mapping);
}

// A shared memory whose mapping cannot be made.
class UnmappableMemory : public platform::SharedMemory {
public:
    platform::Handle OpenFile(const std::wstring&) override { return platform::kInvalidHandle; }
    platform::Handle OpenMapping(const std::wstring&) override { return platform::kNullHandle; }
    platform::Handle CreateMapping(platform::Handle, const std::wstring&, std::uint32_t) override
    {
        return platform::kNullHandle;
    }
    void* MapView(platform::Handle, std::size_t, bool) override { return nullptr; }
    void UnmapView(void*) override {}
    bool Close(platform::Handle) override
    {
        ++m_nCloses;
        return true;
    }
    int m_nCloses = 0;
};

TEST_F(SpeedFanTest, FailedMappingKeepsThePreviousReadings)
{
    SpeedFan source;
    source.m_aFan[0] = 1200;
    source.m_mapFan[L"Fan0"] = 1200;
    UnmappableMemory memory;
    {
        const platform::Substitute<platform::SharedMemory> substitute(memory);
        source.Update();
    }
    EXPECT_EQ(source.GetFan(0), 1200);
    EXPECT_EQ(source.m_mapFan.size(), 1u);
    EXPECT_EQ(memory.m_nCloses, 0);
    EXPECT_TRUE(source.RawData().empty()) << "no data, which ages";
}

}  // namespace
}  // namespace MBDataAquisition
