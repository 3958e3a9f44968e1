#include "data/data_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "acquisition/sensor_names.h"
#include "acquisition/ups_info.h"
#include "acquisition/vexa_tool.h"
#include "data/sensor_fields.h"
#include "errors/exceptions.h"
#include "fakes/log_capture.h"
#include "fakes/memory_profile.h"
#include "standins/memory_event_log.h"
#include "standins/memory_registry.h"
#include "platform/seam.h"
#include "settings/settings.h"
#include "support/registry.h"

namespace {

using MBDataAquisition::SensorNames;
using MBDataContainer::DataList;

// A sensor source whose readings the test sets; Update counts its calls.
class FakeSource : public MBDataAquisition::VexaTool {
public:
    void Update() override { ++updates; }
    std::int32_t GetFan(std::uint32_t i) override { return 1000 + static_cast<std::int32_t>(i); }
    std::int32_t GetTemp(std::uint32_t i) override { return 40 + static_cast<std::int32_t>(i); }
    std::int32_t GetVoltage(std::uint32_t i) override
    {
        return 3300 + static_cast<std::int32_t>(i);
    }
    int updates = 0;
};

class DataListTest : public testing::Test {
protected:
    DataListTest() : m_UseProfile(m_Profile), m_UseLog(m_Log), m_UseRegistry(m_Registry)
    {
        PublishSensors(3, 4, 9);
        CRegistry writer;
        writer.ConnectRoot(platform::kHkeyLocalMachine, nullptr);
        writer.CreateKey(L"SYSTEM\\CurrentControlSet\\Services\\UPS\\Status", nullptr, 0,
                         platform::kKeyAllAccess, nullptr, nullptr);
        writer.WriteDword(L"TcChargeFlags", 0);
        writer.WriteDword(L"BatteryCapacity", 88);
    }

    ~DataListTest() override { SensorNames = MBDataAquisition::SensorNameTable(); }

    static void PublishSensors(std::uint32_t fans, std::uint32_t temps, std::uint32_t voltages)
    {
        SensorNames = MBDataAquisition::SensorNameTable();
        for (std::uint32_t i = 0; i < fans; ++i) {
            SensorNames.FanNames.push_back(L"Fan" + std::to_wstring(i));
        }
        for (std::uint32_t i = 0; i < temps; ++i) {
            SensorNames.TempNames.push_back(L"Temp" + std::to_wstring(i));
        }
        for (std::uint32_t i = 0; i < voltages; ++i) {
            SensorNames.VoltageNames.push_back(L"Volt" + std::to_wstring(i));
        }
        SensorNames.FanCount = fans;
        SensorNames.TempCount = temps;
        SensorNames.VoltageCount = voltages;
    }

    void SetComputerIni(const std::wstring& section, const std::wstring& key,
                        const std::wstring& value)
    {
        m_Profile.entries[{GetComputerIniPath(), section, key}] = value;
    }

    void SetModuleIni(const std::wstring& key, const std::wstring& value)
    {
        m_Profile.entries[{GetModuleIniPath(), L"Tolerance", key}] = value;
    }

    fakes::MemoryProfile m_Profile;
    platform::MemoryEventLog m_Log;
    platform::MemoryRegistry m_Registry;
    platform::Substitute<platform::Profile> m_UseProfile;
    platform::Substitute<platform::EventLog> m_UseLog;
    platform::Substitute<platform::Registry> m_UseRegistry;
    FakeSource m_Source;
    MBDataAquisition::UpsInfo m_Ups;
};

std::vector<std::wstring> Names(const DataList& list)
{
    std::vector<std::wstring> names;
    for (const DataList::FieldPtr& field : list.Fields()) {
        names.push_back(field->m_strName);
    }
    return names;
}

TEST_F(DataListTest, CreatesTheFieldsInSourceOrderWithTheUpsFieldsBehind)
{
    SetComputerIni(L"MBProbe", L"Fan1", L"2500");
    SetComputerIni(L"MBProbe", L"Temp0", L"60");
    SetComputerIni(L"MBProbe", L"Volt8", L"-12000");
    DataList list;
    list.SetDataSource(&m_Source);
    list.SetUpsInfo(&m_Ups);
    ASSERT_EQ(18u, list.FieldCount());
    EXPECT_EQ(16, list.UpsFanIndex());
    EXPECT_EQ(17, list.UpsBattIndex());

    EXPECT_NE(nullptr, dynamic_cast<MBDataContainer::FanData*>(list.RequestDataField(0).get()));
    EXPECT_NE(nullptr, dynamic_cast<MBDataContainer::TempData*>(list.RequestDataField(3).get()));
    EXPECT_NE(nullptr, dynamic_cast<MBDataContainer::VoltageData*>(list.RequestDataField(7).get()));
    EXPECT_NE(nullptr, dynamic_cast<MBDataContainer::FanData*>(list.RequestDataField(16).get()));
    EXPECT_NE(nullptr,
              dynamic_cast<MBDataContainer::UpsBattData*>(list.RequestDataField(17).get()));
    EXPECT_EQ(2500, list.RequestDataField(1)->m_nSetpoint);
    EXPECT_EQ(60, list.RequestDataField(3)->m_nSetpoint);
    EXPECT_EQ(-12000, list.RequestDataField(15)->m_nSetpoint);
    EXPECT_EQ(0, list.RequestDataField(0)->m_nSetpoint);
    EXPECT_EQ(L"Fan P24V250W", list.RequestDataField(16)->m_strName);
    EXPECT_EQ(200, list.RequestDataField(16)->m_nSetpoint);
    EXPECT_EQ(L"C9900-U330", list.RequestDataField(17)->m_strName);
    EXPECT_EQ(100, list.RequestDataField(17)->m_nSetpoint);

    const std::vector<std::wstring> names = Names(list);
    ASSERT_EQ(18u, names.size());  // the disk slots are still empty
    EXPECT_EQ(L"Fan0", names[0]);
    EXPECT_EQ(L"Temp0", names[3]);
    EXPECT_EQ(L"Volt0", names[7]);
    EXPECT_EQ(L"C9900-U330", names[17]);
    EXPECT_EQ(list.HddFields().begin(), list.HddFields().end());
}

TEST_F(DataListTest, SpeedFanSectionOnlyForTheExactWord)
{
    SetComputerIni(L"SpeedFan", L"Fan0", L"3000");
    SetComputerIni(L"MBProbe", L"Fan0", L"1500");
    SetComputerIni(L"CD1_Setup", L"Vexa", L"SpeedFan");
    {
        DataList list;
        list.SetDataSource(&m_Source);
        EXPECT_EQ(3000, list.RequestDataField(0)->m_nSetpoint);
    }
    SetComputerIni(L"CD1_Setup", L"Vexa", L"speedfan");
    DataList list;
    list.SetDataSource(&m_Source);
    EXPECT_EQ(1500, list.RequestDataField(0)->m_nSetpoint);
}

TEST_F(DataListTest, TolerancesComeFromTheModuleSettings)
{
    {
        DataList list;
        list.SetDataSource(&m_Source);
        list.SetUpsInfo(&m_Ups);
        for (const DataList::FieldPtr& field : list.Fields()) {
            EXPECT_EQ(10, field->m_nWarningPercent);
            EXPECT_EQ(20, field->m_nErrorPercent);
        }
    }
    SetModuleIni(L"Warning", L"5");
    SetModuleIni(L"Error", L"15");
    DataList list;
    list.SetDataSource(&m_Source);
    list.SetUpsInfo(&m_Ups);
    for (const DataList::FieldPtr& field : list.Fields()) {
        EXPECT_EQ(5, field->m_nWarningPercent);
        EXPECT_EQ(15, field->m_nErrorPercent);
    }
}

TEST_F(DataListTest, RequestDataFieldReportsTheSignedIndex)
{
    DataList list;
    list.SetDataSource(&m_Source);
    list.SetUpsInfo(&m_Ups);
    for (std::int32_t index : {18, -1}) {
        try {
            list.RequestDataField(index);
            FAIL() << index;
        } catch (const err::DataListException& e) {
            EXPECT_EQ(3u, e.GetErrNo());
            EXPECT_EQ(L"Invalid Index: " + std::to_wstring(index), e.GetMessage());
            EXPECT_NE(std::wstring::npos,
                      e.GetLocation().find(L"MBDataContainer::DataList::RequestDataField"));
        }
    }
}

TEST_F(DataListTest, UpdateCopiesEveryReading)
{
    DataList list;
    list.SetDataSource(&m_Source);
    list.SetUpsInfo(&m_Ups);
    list.Update();
    EXPECT_EQ(1, m_Source.updates);
    EXPECT_EQ(1002, list.RequestDataField(2)->m_nValue);
    EXPECT_EQ(43, list.RequestDataField(6)->m_nValue);
    EXPECT_EQ(3308, list.RequestDataField(15)->m_nValue);
    EXPECT_EQ(1000, list.RequestDataField(16)->m_nValue);
    const auto battery =
        std::dynamic_pointer_cast<MBDataContainer::UpsBattData>(list.RequestDataField(17));
    EXPECT_EQ(100, battery->m_nValue);
    EXPECT_EQ(88, battery->m_nCapacity);
    EXPECT_EQ(MBDataContainer::RatingOk, list.RequestDataField(16)->Evaluate());

    CRegistry writer;
    writer.ConnectRoot(platform::kHkeyLocalMachine, nullptr);
    writer.OpenKey(L"SYSTEM\\CurrentControlSet\\Services\\UPS\\Status", platform::kKeyAllAccess);
    writer.WriteDword(L"TcChargeFlags", 0x100);
    list.Update();
    EXPECT_EQ(0, list.RequestDataField(16)->m_nValue);
    EXPECT_EQ(MBDataContainer::RatingError, list.RequestDataField(16)->Evaluate());
}

// A refresh that has not ended (the source is still read on another thread) leaves the sensor
// readings as they were and does not touch the source; the UPS is read all the same.
TEST_F(DataListTest, ASensorRefreshThatHasNotEndedLeavesTheSensorReadings)
{
    DataList list;
    list.SetDataSource(&m_Source);
    list.SetUpsInfo(&m_Ups);
    const struct {
        bool ended;
        std::int32_t fan;  // field 2 after the update
        std::int32_t ups;  // the UPS battery's capacity
    } cycles[] = {{false, 0, 88}, {true, 1002, 88}, {false, 1002, 88}};
    int refreshes = 0;
    for (const auto& cycle : cycles) {
        SCOPED_TRACE(refreshes);
        list.SetRefreshes([&refreshes, &cycle]() { return ++refreshes, cycle.ended; },
                          DataList::Refresh());
        list.Update();
        EXPECT_EQ(list.RequestDataField(2)->m_nValue, cycle.fan);
        EXPECT_EQ(std::dynamic_pointer_cast<MBDataContainer::UpsBattData>(list.RequestDataField(17))
                      ->m_nCapacity,
                  cycle.ups);
    }
    EXPECT_EQ(refreshes, 3);
    EXPECT_EQ(m_Source.updates, 0);  // the refresh replaces the source's own Update
}

TEST_F(DataListTest, WithoutDataSourceUpdateOnlyLogsStart)
{
    fakes::LogCapture log(3);
    DataList list;
    list.SetDataSource(nullptr);
    list.SetUpsInfo(&m_Ups);
    list.Update();
    const std::string text = log.Contents();
    EXPECT_NE(std::string::npos, text.find("Start"));
    EXPECT_EQ(std::string::npos, text.find("End"));
    EXPECT_EQ(0, list.RequestDataField(16)->m_nValue);  // the UPS source was not asked
    EXPECT_EQ(0, m_Ups.GetChargeState());

    list.SetDataSource(&m_Source);
    list.Update();
    EXPECT_NE(std::string::npos, log.Contents().find("End"));
}

TEST_F(DataListTest, NoFansMeansTemperaturesStartAtZero)
{
    PublishSensors(0, 2, 1);
    DataList list;
    list.SetDataSource(&m_Source);
    ASSERT_EQ(3u, list.FieldCount());
    EXPECT_NE(nullptr, dynamic_cast<MBDataContainer::TempData*>(list.RequestDataField(0).get()));
    list.Update();
    EXPECT_EQ(40, list.RequestDataField(0)->m_nValue);
}

TEST_F(DataListTest, ACountRaisedByTheSourceLeavesUpdateWithCodeThree)
{
    DataList list;
    list.SetDataSource(&m_Source);
    SensorNames.VoltageCount = 10;
    try {
        list.Update();
        FAIL();
    } catch (const err::DataListException& e) {
        EXPECT_EQ(3u, e.GetErrNo());
        EXPECT_EQ(L"Invalid Index: 16", e.GetMessage());
    }
    EXPECT_EQ(3308, list.RequestDataField(15)->m_nValue);  // copied before the failure
}

TEST_F(DataListTest, AnUnopenableEventLogLeavesTheRestOfTheUpdate)
{
    DataList list;
    list.SetDataSource(&m_Source);
    list.SetUpsInfo(&m_Ups);
    m_Log.SetOpenable(false);
    EXPECT_NO_THROW(list.Update());
    EXPECT_EQ(1000, list.RequestDataField(0)->m_nValue);
    // The UPS registry values were read: capacity and charge reach the battery field.
    EXPECT_EQ(88, m_Ups.m_nBatteryCapacity);
    EXPECT_EQ(100, m_Ups.GetChargeState());
}

}  // namespace
