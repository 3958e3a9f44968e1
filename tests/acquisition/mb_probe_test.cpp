#include "acquisition/mb_probe.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "acquisition/sensor_names.h"
#include "common/temp_folder.h"
#include "fakes/log_capture.h"
#include "platform/text.h"

namespace MBDataAquisition {
namespace {

using testing_support::ScopedEnvironmentVariable;
using testing_support::TempFolder;

const char kSampleLine[] = "d t 5.25 3.5 12.5 3.25 5 12 5 12 3.5 40 41 38 0 2500 2600 0";

class MBProbeTest : public testing::Test {
protected:
    void SetUp() override { SensorNames = SensorNameTable{}; }
    void TearDown() override { SensorNames = SensorNameTable{}; }

    // Computer.ini with the probe's history file in section `section` and `extra` lines after it.
    void WriteSettings(const std::string& section, const std::string& extra,
                       const std::string& setup = "")
    {
        const std::string history = platform::WideToAnsi(m_folder.Path(L"history.txt"));
        m_folder.Write(L"Computer.ini", "[CD1_Setup]\r\n" + setup + "[" + section +
                                            "]\r\nHistoryFile=" + history + "\r\n" + extra);
    }
    void WriteHistory(const std::string& lines) { m_folder.Write(L"history.txt", lines); }

    TempFolder m_folder;
    ScopedEnvironmentVariable m_computerIni{L"COMPUTER_INI", m_folder.Path(L"Computer.ini")};
};

TEST_F(MBProbeTest, PublishesTheProbesSensors)
{
    WriteSettings("MbProbe", "");
    const MBProbe probe;
    EXPECT_EQ(probe.m_strSection, L"MbProbe");
    EXPECT_EQ(probe.m_strIniFile, m_folder.Path(L"Computer.ini"));
    EXPECT_EQ(SensorNames.FanCount, 3u);
    EXPECT_EQ(SensorNames.TempCount, 4u);
    EXPECT_EQ(SensorNames.VoltageCount, 8u);
    EXPECT_EQ(SensorNames.VoltageNames,
              (std::vector<std::wstring>{L"Mbvccp1", L"Mbvtt", L"Mb5vsb", L"V33", L"V5", L"V12",
                                         L"V5a", L"V12a"}));
    EXPECT_EQ(SensorNames.TempNames[3], L"Temp3");
    EXPECT_EQ(SensorNames.FanNames[2], L"Fan2");
    EXPECT_EQ(SensorNames.BatteryNames[0], L"VBat");
}

TEST_F(MBProbeTest, TheLossAndReturnOfTheHistoryFileAreLoggedOnceEach)
{
    fakes::LogCapture log(0);
    WriteSettings("MbProbe", "");
    WriteHistory(std::string(kSampleLine) + "\n");
    MBProbe probe;
    probe.Update();
    EXPECT_EQ(log.Contents().find("History file"), std::string::npos);

    std::filesystem::remove(std::filesystem::path(m_folder.Path(L"history.txt")));
    probe.Update();
    probe.Update();
    EXPECT_EQ(probe.GetFan(0), 1);
    WriteHistory(std::string(kSampleLine) + "\n");
    probe.Update();
    probe.Update();
    EXPECT_EQ(probe.GetFan(0), 2501);

    const std::string history = platform::WideToAnsi(m_folder.Path(L"history.txt"));
    const std::string text = log.Contents();
    EXPECT_EQ(text.find("\t\tHistory file not found: \"" + history + "\"\r\n"),
              text.rfind("\t\tHistory file not found: "))
        << text;
    EXPECT_NE(text.find("\t\tHistory file not found: \"" + history + "\"\r\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("\t\tHistory file found: \"" + history + "\""), std::string::npos) << text;
    EXPECT_EQ(text.find("\t\tHistory file found: "), text.rfind("\t\tHistory file found: "));
}

// A pipe or a device in "HistoryFile" is never opened: one line says why, every reading is 1,
// and the monitor goes on.
TEST_F(MBProbeTest, AHistoryFileThatIsAPipeOrADeviceIsRefusedOnce)
{
    const struct {
        std::string path;
        std::string kind;
    } cases[] = {{"\\\\.\\pipe\\probe", "a named pipe"},
                 {"\\\\?\\GLOBALROOT\\Device\\Null", "a device"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        fakes::LogCapture log(0);
        m_folder.Write(L"Computer.ini", "[MbProbe]\r\nHistoryFile=" + c.path + "\r\n");
        MBProbe probe;
        probe.Update();
        probe.Update();
        EXPECT_EQ(probe.GetFan(0), 1);
        EXPECT_EQ(probe.GetVoltage(0), 1);
        const std::string text = log.Contents();
        const std::string line = "\t\tHistoryFile \"" + c.path + "\" names " + c.kind +
                                 ", not a file; it is not read\r\n";
        EXPECT_NE(text.find(line), std::string::npos) << text;
        EXPECT_EQ(text.find("HistoryFile"), text.rfind("HistoryFile")) << text;
        EXPECT_EQ(text.find("History file"), std::string::npos) << text;
    }
}

TEST_F(MBProbeTest, ConvertsTheLastLine)
{
    WriteSettings("MbProbe", "");
    WriteHistory("d t 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1\n" + std::string(kSampleLine) + "\n");
    MBProbe probe;
    probe.Update();
    EXPECT_EQ(probe.GetVoltage(0), 525);
    EXPECT_EQ(probe.GetVoltage(1), 351);
    EXPECT_EQ(probe.GetVoltage(2), 1251);
    EXPECT_EQ(probe.GetVoltage(3), 325);
    EXPECT_EQ(probe.GetVoltage(5), 1201);
    EXPECT_EQ(probe.GetVoltage(7), 1201);
    EXPECT_EQ(probe.GetBattery(0), 351);
    EXPECT_EQ(probe.GetTemp(0), 41);
    EXPECT_EQ(probe.GetTemp(1), 41);
    EXPECT_EQ(probe.GetTemp(2), 39);
    EXPECT_EQ(probe.GetTemp(3), 1);
    EXPECT_EQ(probe.GetFan(0), 2501);
    EXPECT_EQ(probe.GetFan(1), 2601);
    EXPECT_EQ(probe.GetFan(2), 1);
}

TEST_F(MBProbeTest, VoltagesAreTruncatedHundredths)
{
    WriteSettings("MbProbe", "");
    WriteHistory("d t 5.02 -12.5 1e1 abc +3.3x .5 7. 0 9.999 40 41 38 0 2500 2600 0\n");
    MBProbe probe;
    probe.Update();
    EXPECT_EQ(probe.GetVoltage(0), 501);  // 5.02 * 100 is just below 502
    EXPECT_EQ(probe.GetVoltage(1), -1249);
    EXPECT_EQ(probe.GetVoltage(2), 1001);
    EXPECT_EQ(probe.GetVoltage(3), 1);
    EXPECT_EQ(probe.GetVoltage(4), 331);
    EXPECT_EQ(probe.GetVoltage(5), 51);
    EXPECT_EQ(probe.GetVoltage(6), 701);
    EXPECT_EQ(probe.GetVoltage(7), 1);
    EXPECT_EQ(probe.GetBattery(0), 999);
}

TEST_F(MBProbeTest, FanConditionsUseTheNumberedKeysAndAnUnsignedLimit)
{
    WriteSettings("MbProbe",
                  "Fan0_CondVar=Temp0\r\nFan0_CondVal=1000\r\n"  // fan 0's keys have no number
                  "Fan1_CondVar=Temp9\r\nFan1_CondVal=1000\r\n"  // no such temperature
                  "Fan2_CondVar=Temp3\r\nFan2_CondVal=30\r\n");
    WriteHistory(std::string(kSampleLine) + "\n");
    MBProbe probe;
    probe.Update();
    EXPECT_EQ(probe.GetFan(0), 2501);
    EXPECT_EQ(probe.GetFan(1), 2601);
    EXPECT_EQ(probe.GetFan(2), 501);

    WriteSettings("MbProbe",
                  "Fan_CondVar=Temp1\r\nFan_CondVal=-5\r\n"      // wraps to 4294967291
                  "Fan1_CondVar=Temp0\r\nFan1_CondVal=41\r\n");  // 41 is not below 41
    probe.Update();
    EXPECT_EQ(probe.GetFan(0), 501);
    EXPECT_EQ(probe.GetFan(1), 2601);
    EXPECT_EQ(probe.GetFan(2), 1);

    // A negative temperature is a huge unsigned value, never below a limit.
    WriteHistory("d t 5 5 5 5 5 5 5 5 3 -5 41 38 0 2500 2600 0\n");
    WriteSettings("MbProbe", "Fan_CondVar=Temp0\r\nFan_CondVal=30\r\n");
    probe.Update();
    EXPECT_EQ(probe.GetTemp(0), -5);
    EXPECT_EQ(probe.GetFan(0), 2501);
}

TEST_F(MBProbeTest, OnlySpacesSeparateFields)
{
    WriteSettings("MbProbe", "");
    WriteHistory("d   t 5.25\t3.5 12.5 3.25 5 12 5 12 3.5 40 41 38 0 2500 2600 0 7\n");
    MBProbe probe;
    probe.Update();
    EXPECT_EQ(probe.GetVoltage(0), 525);   // "5.25\t3.5" is one field
    EXPECT_EQ(probe.GetVoltage(1), 1251);  // so the others move up by one
    EXPECT_EQ(probe.GetBattery(0), 4001);
    EXPECT_EQ(probe.GetTemp(0), 41);
    EXPECT_EQ(probe.GetFan(2), 7);
}

TEST_F(MBProbeTest, FieldsBeyondTwentyAreIgnored)
{
    WriteSettings("MbProbe", "");
    std::string line = kSampleLine;
    for (int i = 0; i < 100; ++i) {
        line += " 9";
    }
    WriteHistory(line.substr(0, 250) + "\n");
    MBProbe probe;
    probe.Update();
    EXPECT_EQ(probe.GetFan(0), 2501);
    EXPECT_EQ(probe.GetVoltage(7), 1201);
}

TEST_F(MBProbeTest, WithoutAHistoryEveryReadingIsOne)
{
    WriteSettings("MbProbe", "");
    MBProbe probe;
    probe.Update();  // the file does not exist
    for (std::uint32_t i = 0; i < 8; ++i) {
        EXPECT_EQ(probe.GetVoltage(i), 1);
    }
    EXPECT_EQ(probe.GetTemp(3), 1);
    EXPECT_EQ(probe.GetFan(2), 1);
    EXPECT_EQ(probe.GetBattery(0), 1);

    WriteHistory(std::string(kSampleLine) + "\n\n");
    probe.Update();
    EXPECT_EQ(probe.GetFan(0), 1);

    m_folder.Write(L"Computer.ini", "[MbProbe]\r\nFan_CondVar=Temp0\r\nFan_CondVal=30\r\n");
    probe.Update();
    EXPECT_EQ(probe.GetFan(0), 501);  // the condition holds against a temperature of 1
}

TEST_F(MBProbeTest, SectionComesFromTheSetup)
{
    WriteSettings("Probe2", "", "Vexa=Probe2\r\n");
    WriteHistory(std::string(kSampleLine) + "\n");
    MBProbe probe;
    EXPECT_EQ(probe.m_strSection, L"Probe2");
    probe.Update();
    EXPECT_EQ(probe.GetFan(0), 2501);
}

}  // namespace
}  // namespace MBDataAquisition
