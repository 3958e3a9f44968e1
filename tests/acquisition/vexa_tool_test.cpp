#include "acquisition/vexa_tool.h"

#include <gtest/gtest.h>

#include "acquisition/sensor_names.h"

namespace MBDataAquisition {
namespace {

class FixedSource : public VexaTool {
public:
    void Update() override {}
};

class VexaToolTest : public testing::Test {
protected:
    void SetUp() override { SensorNames = SensorNameTable{}; }
    void TearDown() override { SensorNames = SensorNameTable{}; }
};

TEST_F(VexaToolTest, LooksReadingsUpByTheNameOfTheIndex)
{
    for (std::uint32_t i = 0; i < 4; ++i) {
        StoreSensorName(SensorNames.TempNames, i, L"Temp" + std::to_wstring(i));
    }
    StoreSensorName(SensorNames.VoltageNames, 0, L"V12");
    StoreSensorName(SensorNames.BatteryNames, 0, L"VBat");
    StoreSensorName(SensorNames.FanNames, 0, L"Fan0");

    FixedSource source;
    EXPECT_TRUE(source.m_mapTemp.empty());
    source.m_mapTemp[L"Temp3"] = 55;
    source.m_mapTemp[L"Temp7"] = 99;
    source.m_mapVoltage[L"V12"] = -1201;
    source.m_mapBattery[L"VBat"] = 301;
    source.m_mapFan[L"Fan0"] = 0xFFFFFFFFu;

    EXPECT_EQ(source.GetTemp(3), 55);
    EXPECT_EQ(source.GetTemp(1), 0);  // named but never stored
    EXPECT_EQ(source.GetTemp(7), 0);  // stored, but the name list has only 4 entries
    EXPECT_EQ(source.GetVoltage(0), -1201);
    EXPECT_EQ(source.GetBattery(0), 301);
    EXPECT_EQ(source.GetFan(0), -1);
    EXPECT_EQ(source.GetFan(0xFFFFFFFFu), 0);
}

TEST_F(VexaToolTest, NamesMatchExactly)
{
    StoreSensorName(SensorNames.TempNames, 0, L"Temp0");
    FixedSource source;
    source.m_mapTemp[L"TEMP0"] = 12;
    EXPECT_EQ(source.GetTemp(0), 0);
}

TEST_F(VexaToolTest, NameListsStopAtIndex32)
{
    std::vector<std::wstring> names;
    StoreSensorName(names, 5, L"Fan5");
    EXPECT_EQ(names.size(), 6u);
    EXPECT_EQ(SensorNameAt(names, 5), L"Fan5");
    EXPECT_EQ(SensorNameAt(names, 4), L"");
    EXPECT_EQ(SensorNameAt(names, 6), L"");

    StoreSensorName(names, 32, L"Fan32");
    StoreSensorName(names, 33, L"Fan33");
    StoreSensorName(names, 0xFFFFFFFFu, L"Huge");
    EXPECT_EQ(names.size(), 33u);
    EXPECT_EQ(SensorNameAt(names, 32), L"Fan32");
    EXPECT_EQ(SensorNameAt(names, 33), L"");
}

}  // namespace
}  // namespace MBDataAquisition
