#include "acquisition/mb_setpoints.h"

#include <gtest/gtest.h>

#include "acquisition/mb_probe.h"
#include "acquisition/sensor_names.h"
#include "acquisition/speed_fan.h"
#include "common/temp_folder.h"

namespace MBDataAquisition {
namespace {

using testing_support::ScopedEnvironmentVariable;
using testing_support::TempFolder;

class MBSetpointsTest : public testing::Test {
protected:
    void SetUp() override { SensorNames = SensorNameTable{}; }
    void TearDown() override { SensorNames = SensorNameTable{}; }

    TempFolder m_folder;
    ScopedEnvironmentVariable m_computerIni{L"COMPUTER_INI", m_folder.Path(L"Computer.ini")};
};

TEST_F(MBSetpointsTest, SpeedFanSetpointsComeFromItsSection)
{
    m_folder.Write(L"Computer.ini",
                   "[SpeedFan]\r\nTemp3=65\r\nFan31=0x10\r\n[MBProbe]\r\nTemp4=9\r\n");
    const SpeedFan source;
    MBSetpoints setpoints;
    setpoints.m_strSection = L"SpeedFan";
    setpoints.Update();
    EXPECT_EQ(setpoints.GetTemp(3), 65);
    EXPECT_EQ(setpoints.GetTemp(4), 0);
    EXPECT_EQ(setpoints.GetFan(31), 16);
    EXPECT_EQ(setpoints.m_mapFan.size(), 32u);
    EXPECT_TRUE(setpoints.m_mapVoltage.empty());
}

TEST_F(MBSetpointsTest, ProbeSetpointsShareTheProbesSection)
{
    m_folder.Write(L"Computer.ini",
                   "[MbProbe]\r\nHistoryFile=x\r\nFan1=2500\r\nV12=1200V\r\nV5= -500\r\n"
                   "V33=abc\r\nVBat=300\r\n");
    const MBProbe source;
    MBSetpoints setpoints;
    setpoints.Update();
    EXPECT_EQ(setpoints.m_strSection, L"MBProbe");
    EXPECT_EQ(setpoints.GetFan(1), 2500);
    EXPECT_EQ(setpoints.GetVoltage(5), 1200);
    EXPECT_EQ(setpoints.GetVoltage(4), -500);
    EXPECT_EQ(setpoints.GetVoltage(3), 0);
    EXPECT_EQ(setpoints.GetBattery(0), 0);  // batteries have no setpoint
}

TEST_F(MBSetpointsTest, WithoutASourceOnlyTheSectionIsSet)
{
    m_folder.Write(L"Computer.ini", "[MBProbe]\r\nFan0=1\r\n");
    MBSetpoints setpoints;
    setpoints.Update();
    EXPECT_EQ(setpoints.m_strSection, L"MBProbe");
    EXPECT_TRUE(setpoints.m_mapFan.empty());
    EXPECT_TRUE(setpoints.m_mapTemp.empty());
    EXPECT_TRUE(setpoints.m_mapVoltage.empty());
}

}  // namespace
}  // namespace MBDataAquisition
