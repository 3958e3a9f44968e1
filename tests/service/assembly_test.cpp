#include "service/monitor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "acquisition/sensor_names.h"
#include "errors/exceptions.h"
#include "standins/hmi_substitute.h"
#include "settings/settings.h"
#include "worker_fixture.h"

namespace servicetest {
namespace {

// The start-up assembly against the substitute runtime and settings held in memory.
class AssemblyTest : public ::testing::Test {
protected:
    AssemblyTest() : m_HmiSubstitute(m_Hmi) { m_Hmi.KeepTrace(); }

    void SetServicePack(const std::wstring& p_strVersion)
    {
        m_Environment.Profile()
            .entries[{L"c:\\Servicepacks\\InstallSP.ini", L"Servicepack", L"Version"}] =
            p_strVersion;
    }
    void SetComputerIni(const std::wstring& p_strSection, const std::wstring& p_strKey,
                        const std::wstring& p_strValue)
    {
        m_Environment.Profile().entries[{GetComputerIniPath(), p_strSection, p_strKey}] =
            p_strValue;
    }
    // Builds and tears down one monitor; the calls it made on the runtime.
    std::vector<std::string> AssembleOnce()
    {
        const std::size_t l_nBefore = m_Hmi.Trace().size();
        {
            auto l_pMonitor = service::AssembleMonitor();
        }
        const std::vector<std::string> l_Trace = m_Hmi.Trace();
        return std::vector<std::string>(l_Trace.begin() + static_cast<std::ptrdiff_t>(l_nBefore),
                                        l_Trace.end());
    }
    // The names of the variables checked in, in order.
    static std::vector<std::string> CheckedIn(const std::vector<std::string>& p_Trace)
    {
        std::vector<std::string> l_Names;
        for (const std::string& l_strLine : p_Trace) {
            if (l_strLine.rfind("checkin ", 0) == 0) {
                l_Names.push_back(l_strLine.substr(8, l_strLine.find(' ', 8) - 8));
            }
        }
        return l_Names;
    }
    // The values-file broadcast checks in its pulse variables only; the classic one a pair of
    // variables per reading.
    static bool IsValuesFileBroadcast(const std::vector<std::string>& p_Trace)
    {
        return CheckedIn(p_Trace) == std::vector<std::string>{"mb_fan_1", "mb_fan_1_set"};
    }
    static bool IsClassicBroadcast(const std::vector<std::string>& p_Trace)
    {
        const std::vector<std::string> l_Names = CheckedIn(p_Trace);
        return std::find(l_Names.begin(), l_Names.end(), "mb_temp_0_set") != l_Names.end();
    }

    WorkerEnvironment m_Environment;
    platform::SubstituteHmiRuntime m_Hmi;
    platform::Substitute<platform::HmiRuntime> m_HmiSubstitute;
};

TEST_F(AssemblyTest, ServicePackFromTwoPointEightChoosesTheValuesFile)
{
    for (const wchar_t* l_szVersion : {L"2.8", L"2.10"}) {
        SetServicePack(l_szVersion);
        const std::vector<std::string> l_Trace = AssembleOnce();
        EXPECT_TRUE(IsValuesFileBroadcast(l_Trace)) << l_szVersion;
    }
}

TEST_F(AssemblyTest, OlderOrMissingServicePackChoosesTheClassicBroadcast)
{
    for (const wchar_t* l_szVersion : {L"2.7.9", L"V2.8", L""}) {
        SetServicePack(l_szVersion);
        const std::vector<std::string> l_Trace = AssembleOnce();
        EXPECT_TRUE(IsClassicBroadcast(l_Trace)) << l_szVersion;
    }
}

TEST_F(AssemblyTest, BroadcastVersionOneForcesTheValuesFileAndTwoDoesNot)
{
    SetServicePack(L"2.7");
    SetComputerIni(L"Vexa", L"BroadcastVersion", L"2");
    EXPECT_TRUE(IsClassicBroadcast(AssembleOnce()));
    SetComputerIni(L"Vexa", L"BroadcastVersion", L"1");
    EXPECT_TRUE(IsValuesFileBroadcast(AssembleOnce()));
}

// SpeedFan reports no voltages; the probe reports eight.
TEST_F(AssemblyTest, OnlyTheExactWordSpeedFanChoosesTheSpeedFanSource)
{
    SetServicePack(L"2.8");
    AssembleOnce();
    EXPECT_EQ(MBDataAquisition::SensorNames.VoltageCount, 8u) << "key missing";
    SetComputerIni(L"CD1_Setup", L"Vexa", L"SpeedFan");
    AssembleOnce();
    EXPECT_EQ(MBDataAquisition::SensorNames.VoltageCount, 0u) << "SpeedFan";
    for (const wchar_t* l_szSource : {L"", L"speedfan", L"SpeedFan2"}) {
        SetComputerIni(L"CD1_Setup", L"Vexa", l_szSource);
        AssembleOnce();
        EXPECT_EQ(MBDataAquisition::SensorNames.VoltageCount, 8u) << l_szSource;
    }
}

TEST_F(AssemblyTest, EveryStartClearsTheMessageCount)
{
    const fakes::MemoryProfile::Key l_Key{
        ResolvePath(L"%temp%\\VexaValues.ini", L"c:\\temp\\VexaValues.ini"), L"VEXA_CURRENT",
        L"NO_OF_MESSAGES"};
    m_Environment.Profile().entries[l_Key] = L"3";
    SetServicePack(L"2.8");
    {
        auto l_pMonitor = service::AssembleMonitor();
        // The cycle's end writes the values file.
        l_pMonitor->CycleEnded(false);
    }
    ASSERT_EQ(m_Environment.Profile().entries.count(l_Key), 1u);
    EXPECT_EQ(m_Environment.Profile().entries[l_Key], L"");
}

TEST_F(AssemblyTest, TearDownChecksOutAndDisconnectsLast)
{
    SetServicePack(L"2.8");
    const std::vector<std::string> l_Trace = AssembleOnce();
    ASSERT_FALSE(l_Trace.empty());
    EXPECT_EQ(l_Trace.front(), "connect");
    EXPECT_EQ(l_Trace.back(), "disconnect");
}

TEST_F(AssemblyTest, NoRunningRuntimeFailsTheStartUp)
{
    m_Hmi.SetRunning(false);
    try {
        service::AssembleMonitor();
        FAIL() << "no failure";
    } catch (const err::GException& e) {
        EXPECT_EQ(e.GetMessage(), L"GetRunningObject");
        EXPECT_EQ(e.GetLocation().rfind(L"MBBroadcast::VisiWin::ConnectVisu  line: ", 0), 0u);
    }
}

}  // namespace
}  // namespace servicetest
