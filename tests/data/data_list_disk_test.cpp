#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "acquisition/harddisk.h"
#include "acquisition/sensor_names.h"
#include "acquisition/vexa_tool.h"
#include "data/data_list.h"
#include "data/hdd_fields.h"
#include "standins/drive_bay.h"
#include "fakes/fake_logon.h"
#include "fakes/memory_profile.h"
#include "platform/ata_commands.h"
#include "platform/byte_order.h"
#include "platform/seam.h"
#include "settings/settings.h"

namespace {

using MBDataContainer::DataList;
using MBDataContainer::RatingError;
using MBDataContainer::RatingOk;
using MBDataContainer::RatingWarning;

class NoSensors : public MBDataAquisition::VexaTool {
public:
    void Update() override {}
};

class DataListDiskTest : public testing::Test {
protected:
    DataListDiskTest()
    {
        MBDataAquisition::SensorNames = MBDataAquisition::SensorNameTable();
        diag::SmartReader::ForgetAutoOffline();
        // The drive record in memory alone.
        m_Profile.entries[{GetModuleIniPath(), L"HDD", L"RecordFile"}] = L"";
        // A drive that gives no verdict: the five fields alone.
        m_Device.Drive(0).abortedFeatures.insert(platform::ata::kReturnStatus);
        SetRaw(70000, 0, 0, 0, 0);
    }
    ~DataListDiskTest() override { diag::SmartReader::ForgetAutoOffline(); }

    // Raw values of attributes 9, 198, 196, 197 and 5 on drive 0.
    void SetRaw(std::uint64_t p_nHours, std::uint64_t p_n198, std::uint64_t p_n196,
                std::uint64_t p_n197, std::uint64_t p_n5)
    {
        auto& l_Block = m_Device.Drive(0).attributes;
        platform::PutAttribute(l_Block, 0, 9, 0, 100, 100, p_nHours);
        platform::PutAttribute(l_Block, 1, 198, 0, 100, 100, p_n198);
        platform::PutAttribute(l_Block, 2, 196, 0, 100, 100, p_n196);
        platform::PutAttribute(l_Block, 3, 197, 0, 100, 100, p_n197);
        platform::PutAttribute(l_Block, 4, 5, 0, 100, 100, p_n5);
    }

    static std::vector<MBDataContainer::Rating> Ratings(const DataList& p_List)
    {
        std::vector<MBDataContainer::Rating> l_Ratings;
        for (const DataList::FieldPtr& l_pField : p_List.HddFields()) {
            l_Ratings.push_back(l_pField->Evaluate());
        }
        return l_Ratings;
    }

    static std::vector<std::int32_t> Values(const DataList& p_List)
    {
        std::vector<std::int32_t> l_Values;
        for (const DataList::FieldPtr& l_pField : p_List.HddFields()) {
            l_Values.push_back(l_pField->m_nValue);
        }
        return l_Values;
    }

    fakes::MemoryProfile m_Profile;
    platform::DriveBay m_Device;
    fakes::FakeLogon m_Logon;
    platform::Substitute<platform::Profile> m_UseProfile{m_Profile};
    platform::Substitute<platform::DiskDevice> m_UseDevice{m_Device};
    platform::Substitute<platform::Logon> m_UseLogon{m_Logon};
    NoSensors m_Sensors;
};

TEST_F(DataListDiskTest, FillsTheFiveDiskSlotsOutsideTheIndexedFields)
{
    DataList l_List;
    l_List.SetDataSource(&m_Sensors);
    l_List.SetHarddisk(nullptr);
    EXPECT_EQ(l_List.FieldCount(), 0u);

    std::vector<std::wstring> l_Names;
    for (const DataList::FieldPtr& l_pField : l_List.Fields()) {
        l_Names.push_back(l_pField->m_strName);
        EXPECT_EQ(l_pField->m_nWarningPercent, 0);
        EXPECT_EQ(l_pField->m_nErrorPercent, 0);
    }
    EXPECT_EQ(l_Names, (std::vector<std::wstring>{
                           L"HddLifetime", L"HddOfflineUncorrectable", L"HddReallocationCount",
                           L"HddCurrentPendingSectorCount", L"ReallocatedSectorCount"}));
    auto l_It = l_List.HddFields().begin();
    EXPECT_NE(dynamic_cast<MBDataContainer::LifetimeData*>(l_It->get()), nullptr);
    EXPECT_EQ((*l_It)->m_nSetpoint, 45000);
    for (++l_It; l_It != l_List.HddFields().end(); ++l_It) {
        EXPECT_NE(dynamic_cast<MBDataContainer::CriticalHddEventsData*>(l_It->get()), nullptr);
        EXPECT_EQ((*l_It)->m_nSetpoint, 0);
    }

    // Without a disk source the fields read 0 and rate ok.
    l_List.Update();
    EXPECT_EQ(Values(l_List), (std::vector<std::int32_t>{0, 0, 0, 0, 0}));
    EXPECT_EQ(Ratings(l_List), (std::vector<MBDataContainer::Rating>(5, RatingOk)));
    EXPECT_TRUE(m_Device.Opened().empty());
}

TEST_F(DataListDiskTest, TheLifetimeSetpointComesFromComputerIni)
{
    m_Profile.entries[{GetComputerIniPath(), L"HDD", L"MaxLifetimeYears"}] = L"4000";
    MBDataAquisition::Harddisk l_Disk(L"", L"");
    DataList l_List;
    l_List.SetDataSource(&m_Sensors);
    l_List.SetHarddisk(&l_Disk);
    l_List.Update();
    const DataList::FieldPtr l_pLifetime = *l_List.HddFields().begin();
    EXPECT_EQ(l_pLifetime->m_nSetpoint, 4000);
    EXPECT_EQ(l_pLifetime->m_nValue, 70000);  // all 32 bits of the power-on hours
    EXPECT_EQ(l_pLifetime->Evaluate(), RatingWarning);

    m_Profile.entries[{GetComputerIniPath(), L"HDD", L"MaxLifetimeYears"}] = L"0";
    l_List.SetHarddisk(&l_Disk);
    SetRaw(65535, 0, 0, 0, 0);
    l_List.Update();
    EXPECT_EQ((*l_List.HddFields().begin())->Evaluate(), RatingOk);
}

TEST_F(DataListDiskTest, UpdateCopiesTheRawValuesInSlotOrder)
{
    MBDataAquisition::Harddisk l_Disk(L"", L"");
    DataList l_List;
    l_List.SetDataSource(&m_Sensors);
    l_List.SetHarddisk(&l_Disk);
    SetRaw(44999, 11, 12, 13, 0x1000E);
    l_List.Update();
    EXPECT_EQ(Values(l_List), (std::vector<std::int32_t>{44999, 11, 12, 13, 14, -1}));

    m_Device.Remove(0);  // no table for drive 0: every record reads 0
    l_List.Update();
    EXPECT_EQ(Values(l_List), (std::vector<std::int32_t>{0, 0, 0, 0, 0, -1}));
}

TEST_F(DataListDiskTest, NewCountsRateErrorOnceAcrossFieldsAndRebuiltLists)
{
    const std::int32_t l_nBase = MBDataContainer::CriticalHddEventsData::HighestCriticalCount();
    MBDataAquisition::Harddisk l_Disk(L"", L"");
    {
        DataList l_List;
        l_List.SetDataSource(&m_Sensors);
        l_List.SetHarddisk(&l_Disk);
        SetRaw(100, 0, l_nBase + 3, 0, l_nBase + 5);
        l_List.Update();
        // Evaluated twice per cycle, as the broadcast does.
        EXPECT_EQ(Ratings(l_List),
                  (std::vector<MBDataContainer::Rating>{RatingOk, RatingOk, RatingError, RatingOk,
                                                        RatingError, RatingOk}));
        EXPECT_EQ(Ratings(l_List),
                  (std::vector<MBDataContainer::Rating>{RatingOk, RatingOk, RatingWarning, RatingOk,
                                                        RatingWarning, RatingOk}));
        SetRaw(100, l_nBase + 4, l_nBase + 3, 0, l_nBase + 5);
        l_List.Update();
        EXPECT_EQ(Ratings(l_List)[1], RatingWarning);
    }
    DataList l_Rebuilt;
    l_Rebuilt.SetDataSource(&m_Sensors);
    l_Rebuilt.SetHarddisk(&l_Disk);
    l_Rebuilt.Update();
    EXPECT_EQ(Ratings(l_Rebuilt),
              (std::vector<MBDataContainer::Rating>{RatingOk, RatingWarning, RatingWarning,
                                                    RatingOk, RatingWarning, RatingOk}));
}

class DataListNvmeTest : public DataListDiskTest {
protected:
    DataListNvmeTest()
    {
        m_Device.Drive(0).nvme = true;
        SetPage(0, 300, 0, 70000, 0);
    }

    void SetPage(std::uint8_t p_nWarning, std::uint16_t p_nKelvin, std::uint8_t p_nUsed,
                 std::uint64_t p_nHours, std::uint64_t p_nMediaErrors)
    {
        namespace le = platform::le;
        auto& l_Page = m_Device.Drive(0).healthPage;
        l_Page[0] = p_nWarning;
        le::Store16(l_Page.data() + 1, p_nKelvin);
        l_Page[5] = p_nUsed;
        le::Store64(l_Page.data() + 128, p_nHours);
        le::Store64(l_Page.data() + 160, p_nMediaErrors);
    }

    static std::vector<std::wstring> Names(const DataList& p_List)
    {
        std::vector<std::wstring> l_Names;
        for (const DataList::FieldPtr& l_pField : p_List.Fields()) {
            l_Names.push_back(l_pField->m_strName);
        }
        return l_Names;
    }
};

TEST_F(DataListNvmeTest, AnNvmeDriveAddsThreeFieldsBehindTheFive)
{
    MBDataAquisition::Harddisk l_Disk(L"", L"");
    DataList l_List;
    l_List.SetDataSource(&m_Sensors);
    l_List.SetHarddisk(&l_Disk);
    EXPECT_EQ(Names(l_List),
              (std::vector<std::wstring>{L"HddLifetime", L"HddOfflineUncorrectable",
                                         L"HddReallocationCount", L"HddCurrentPendingSectorCount",
                                         L"ReallocatedSectorCount", L"HddCriticalWarning",
                                         L"HddPercentageUsed", L"HddTemperature", L"HddDaysLeft"}));
    std::vector<std::int32_t> l_Setpoints;
    for (const DataList::FieldPtr& l_pField : l_List.HddFields()) {
        l_Setpoints.push_back(l_pField->m_nSetpoint);
        EXPECT_EQ(l_pField->m_nWarningPercent, 0);
        EXPECT_EQ(l_pField->m_nErrorPercent, 0);
    }
    EXPECT_EQ(l_Setpoints, (std::vector<std::int32_t>{45000, 0, 0, 0, 0, 0, 90, 70, 180}));
    EXPECT_EQ(l_List.FieldCount(), 0u);  // not reachable by index, like the other disk fields
}

TEST_F(DataListNvmeTest, AnAtaDriveOrNoDriveKeepsTheFive)
{
    m_Device.Drive(0).nvme = false;
    MBDataAquisition::Harddisk l_Disk(L"", L"");
    DataList l_List;
    l_List.SetDataSource(&m_Sensors);
    l_List.SetHarddisk(&l_Disk);
    l_List.Update();
    EXPECT_EQ(Values(l_List), (std::vector<std::int32_t>{70000, 0, 0, 0, 0, -1}));

    m_Device.Remove(0);
    MBDataAquisition::Harddisk l_None(L"", L"");
    DataList l_Empty;
    l_Empty.SetDataSource(&m_Sensors);
    l_Empty.SetHarddisk(&l_None);
    l_Empty.Update();
    EXPECT_EQ(Values(l_Empty), (std::vector<std::int32_t>{0, 0, 0, 0, 0, -1}));
}

TEST_F(DataListNvmeTest, UpdateMapsThePageIntoTheSlots)
{
    MBDataAquisition::Harddisk l_Disk(L"", L"");
    DataList l_List;
    l_List.SetDataSource(&m_Sensors);
    l_List.SetHarddisk(&l_Disk);
    // The ATA table of a second drive plays no part.
    m_Device.Drive(1);
    SetPage(0x10, 351, 101, 5000000000ull, 3);
    l_List.Update();
    EXPECT_EQ(Values(l_List),
              (std::vector<std::int32_t>{2147483647, 3, 0, 0, 0, 0x10, 101, 78, -1}));

    // A page that cannot be read: every reading goes to 0 (no 0 kelvin turned into -273), and
    // the three health readings, unread, rate warning instead of passing as a sound disk.
    m_Device.Drive(0).refusesQueries = true;
    l_List.Update();
    EXPECT_EQ(Values(l_List), (std::vector<std::int32_t>{0, 0, 0, 0, 0, 0, 0, 0, -1}));
    const std::vector<MBDataContainer::Rating> l_Unread = Ratings(l_List);
    EXPECT_EQ(std::vector<MBDataContainer::Rating>(l_Unread.begin() + 5, l_Unread.begin() + 8),
              (std::vector<MBDataContainer::Rating>(3, RatingWarning)));

    // Read again: the fields rate their readings once more.
    m_Device.Drive(0).refusesQueries = false;
    SetPage(0, 300, 10, 100, 0);
    l_List.Update();
    const std::vector<MBDataContainer::Rating> l_Read = Ratings(l_List);
    EXPECT_EQ(std::vector<MBDataContainer::Rating>(l_Read.begin() + 5, l_Read.begin() + 8),
              (std::vector<MBDataContainer::Rating>(3, RatingOk)));
}

TEST_F(DataListNvmeTest, TheThreeFieldsRateAgainstTheirSettings)
{
    m_Profile.entries[{GetComputerIniPath(), L"HDD", L"MaxPercentageUsed"}] = L"80";
    m_Profile.entries[{GetComputerIniPath(), L"HDD", L"MaxTemperature"}] = L"60";
    MBDataAquisition::Harddisk l_Disk(L"", L"");
    DataList l_List;
    l_List.SetDataSource(&m_Sensors);
    l_List.SetHarddisk(&l_Disk);

    auto Rate = [&](std::uint8_t p_nWarning, std::uint16_t p_nKelvin, std::uint8_t p_nUsed) {
        SetPage(p_nWarning, p_nKelvin, p_nUsed, 100, 0);
        l_List.Update();
        const std::vector<MBDataContainer::Rating> l_Ratings = Ratings(l_List);
        return std::vector<MBDataContainer::Rating>(l_Ratings.begin() + 5, l_Ratings.begin() + 8);
    };
    using R = std::vector<MBDataContainer::Rating>;
    EXPECT_EQ(Rate(0, 333, 80), (R{RatingOk, RatingOk, RatingOk}));  // 60 degrees, 80 %
    EXPECT_EQ(Rate(0, 334, 81), (R{RatingOk, RatingWarning, RatingWarning}));
    EXPECT_EQ(Rate(1, 334, 255), (R{RatingError, RatingWarning, RatingWarning}));  // never error
    EXPECT_EQ(Rate(0x80, 200, 0), (R{RatingError, RatingOk, RatingOk}));
    // A second pass rates the same: no field remembers what it rated.
    EXPECT_EQ(Ratings(l_List)[5], RatingError);
}

}  // namespace
