#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "acquisition/harddisk.h"
#include "acquisition/system_disk.h"
#include "standins/drive_bay.h"
#include "fakes/fake_logon.h"
#include "fakes/log_capture.h"
#include "fakes/memory_environment.h"
#include "fakes/memory_profile.h"
#include "platform/byte_order.h"
#include "platform/ata_commands.h"
#include "platform/seam.h"
#include "settings/settings.h"

namespace {

namespace ata = platform::ata;
using MBDataAquisition::DiskAccess;
using MBDataAquisition::DiskSource;

constexpr std::uint32_t kBusTypeMmc = 13;  // BusTypeMmc

class SystemDiskTest : public testing::Test {
protected:
    SystemDiskTest() { diag::SmartReader::ForgetAutoOffline(); }
    ~SystemDiskTest() override { diag::SmartReader::ForgetAutoOffline(); }

    platform::DriveBay m_Device;
    fakes::FakeLogon m_Logon;
    fakes::MemoryProfile m_Profile;
    fakes::MemoryEnvironment m_Environment;
    platform::Substitute<platform::DiskDevice> m_UseDevice{m_Device};
    platform::Substitute<platform::Logon> m_UseLogon{m_Logon};
    platform::Substitute<platform::Profile> m_UseProfile{m_Profile};
    platform::Substitute<platform::Environment> m_UseEnvironment{m_Environment};
};

TEST_F(SystemDiskTest, TheKeyOrTheVolumeNamesTheDriveAndTheLineSaysHow)
{
    struct Case {
        const wchar_t* key;  // "Drive" of [HDD]; null: absent
        const wchar_t* systemRoot;
        std::optional<std::uint32_t> volumeDrive;
        std::vector<std::uint32_t> extents;  // empty: one extent on volumeDrive
        std::uint8_t drive;
        const wchar_t* line;
        const wchar_t* volumeOpened;  // null: none
    };
    const Case cases[] = {
        {nullptr, L"C:\\Windows", 1, {}, 1, L"System disk: drive 1", L"\\\\.\\C:"},
        {nullptr, L"d:\\WINNT", 2, {}, 2, L"System disk: drive 2", L"\\\\.\\D:"},
        {nullptr, nullptr, 3, {}, 3, L"System disk: drive 3", L"\\\\.\\C:"},
        // A volume extended on its own disk, and one on several disks: its first extent's disk.
        {nullptr, L"C:\\Windows", 1, {1, 1, 1}, 1, L"System disk: drive 1", L"\\\\.\\C:"},
        {nullptr,
         L"C:\\Windows",
         2,
         {2, 1, 2},
         2,
         L"System disk: drive 2, the first of the 2 disks the volume C: spans",
         L"\\\\.\\C:"},
        {nullptr,
         L"C:\\Windows",
         std::nullopt,
         {},
         0,
         L"System disk: drive 0, the volume C: cannot be opened (error 2)",
         L"\\\\.\\C:"},
        {nullptr,
         L"C:\\Windows",
         300,
         {},
         0,
         L"System disk: drive 0, the volume C: lies on drive 300, beyond 255",
         L"\\\\.\\C:"},
        {L"2", L"C:\\Windows", 1, {}, 2, L"System disk: drive 2 (key \"Drive\" of [HDD])", nullptr},
        {L"0", L"C:\\Windows", 1, {}, 0, L"System disk: drive 0 (key \"Drive\" of [HDD])", nullptr},
        {L"x1",
         L"C:\\Windows",
         1,
         {},
         0,
         L"System disk: drive 0, key \"Drive\" of [HDD] is no drive number: x1",
         nullptr},
        {L"256",
         L"C:\\Windows",
         1,
         {},
         0,
         L"System disk: drive 0, key \"Drive\" of [HDD] is no drive number: 256",
         nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        m_Profile.entries.clear();
        if (c.key != nullptr) {
            m_Profile.entries[{GetComputerIniPath(), L"HDD", L"Drive"}] = c.key;
        }
        m_Environment.variables.clear();
        if (c.systemRoot != nullptr) {
            m_Environment.variables[L"SystemRoot"] = c.systemRoot;
        }
        if (c.volumeDrive) {
            m_Device.SetVolume(c.extents.empty() ? std::vector<std::uint32_t>{*c.volumeDrive}
                                                 : c.extents);
        } else {
            m_Device.SetVolume(std::nullopt);
        }
        const std::size_t l_nOpenedBefore = m_Device.OpenedForQuery().size();
        const MBDataAquisition::SystemDiskChoice l_Choice = MBDataAquisition::ChooseSystemDisk();
        EXPECT_EQ(l_Choice.drive, c.drive);
        EXPECT_EQ(l_Choice.line, c.line);
        const std::vector<std::wstring> l_Opened = m_Device.OpenedForQuery();
        EXPECT_EQ(std::vector<std::wstring>(l_Opened.begin() + l_nOpenedBefore, l_Opened.end()),
                  c.volumeOpened ? std::vector<std::wstring>{c.volumeOpened}
                                 : std::vector<std::wstring>{});
        EXPECT_EQ(m_Device.OpenHandles(), 0u);
    }
}

// The Device Statistics log of a SATA SSD: page 0 lists pages 5 and 7, with the current
// temperature and the percentage used, both supported and valid unless told otherwise.
std::vector<std::uint8_t> DeviceStatistics(std::uint8_t p_nCelsius, std::uint8_t p_nUsed,
                                           std::uint8_t p_nFlags = 0xC0)
{
    std::vector<std::uint8_t> l_Log(512 * 8);
    l_Log[0] = 1;
    l_Log[8] = 3;
    l_Log[10] = 5;
    l_Log[11] = 7;
    for (const auto& [l_nPage, l_nValue] :
         {std::pair<int, std::uint8_t>{5, p_nCelsius}, std::pair<int, std::uint8_t>{7, p_nUsed}}) {
        std::uint8_t* l_pPage = l_Log.data() + 512 * l_nPage;
        l_pPage[0] = 1;
        l_pPage[2] = static_cast<std::uint8_t>(l_nPage);
        l_pPage[8] = l_nValue;
        l_pPage[15] = p_nFlags;
    }
    return l_Log;
}

void PutAtaDrive(platform::DriveModel& p_Drive, std::uint64_t p_nHours)
{
    p_Drive.busType = platform::bus::kSata;
    platform::PutAttribute(p_Drive.attributes, 0, 9, 0x32, 100, 100, p_nHours);
    platform::PutAttribute(p_Drive.attributes, 1, 5, 0x33, 9, 9, 4);
    platform::PutAttribute(p_Drive.attributes, 2, 194, 0x22, 60, 50, 0x0A0029);  // 41 degrees
    p_Drive.thresholds.emplace();
    (*p_Drive.thresholds)[2] = 5;
    (*p_Drive.thresholds)[3] = 5;  // attribute 5 is above its threshold
    p_Drive.product = "SATA SSD";
}

void PutNvmeDrive(platform::DriveModel& p_Drive, std::uint64_t p_nHours)
{
    p_Drive.nvme = true;
    platform::le::Store16(p_Drive.healthPage.data() + 1, 318);
    p_Drive.healthPage[5] = 12;
    platform::le::Store64(p_Drive.healthPage.data() + 128, p_nHours);
}

// The record and the fields at attach in one line: drive, source, access, power-on hours,
// verdict, wear, temperature ("-" where absent) and the readings provided at attach.
std::string Describe(const MBDataAquisition::DiskHealth& p_Health,
                     const MBDataAquisition::DiskHealthReadings& p_Provides)
{
    const auto Text = [](const std::optional<std::int32_t>& p_nValue) {
        return p_nValue ? std::to_string(*p_nValue) : std::string("-");
    };
    const char* const l_Sources[] = {"none", "ATA", "NVMe"};
    return "drive " + std::to_string(p_Health.drive) + " " +
           l_Sources[static_cast<int>(p_Health.source)] +
           (p_Health.access == DiskAccess::WithoutRights ? " without rights" : "") + ", hours " +
           std::to_string(p_Health.counters[0]) + ", warning " + Text(p_Health.criticalWarning) +
           ", used " + Text(p_Health.percentageUsed) + ", temperature " +
           Text(p_Health.temperature) + ", fields" + (p_Provides.criticalWarning ? " W" : "") +
           (p_Provides.percentageUsed ? " U" : "") + (p_Provides.temperature ? " T" : "");
}

TEST_F(SystemDiskTest, EveryProtocolFillsTheOneRecord)
{
    struct Case {
        const char* what;
        std::function<void(platform::DriveBay&)> machine;
        const char* record;
        const char* sourceLine;
    };
    const auto Ata = [](platform::DriveBay& d) -> platform::DriveModel& {
        PutAtaDrive(d.Drive(0), 900);
        return d.Drive(0);
    };
    const std::string l_strAta = "Drive 0: ATA S.M.A.R.T. attributes";
    const Case cases[] = {
        {"an ATA drive 0 beside the NVMe system disk 1",
         [&](platform::DriveBay& d) {
             Ata(d);
             PutNvmeDrive(d.Drive(1), 7000);
             d.SetVolume(std::vector<std::uint32_t>{1});
         },
         "drive 1 NVMe, hours 7000, warning 0, used 12, temperature 45, fields W U T",
         "Drive 1: NVMe health information"},
        {"a sound ATA drive without Device Statistics: attribute 194's temperature",
         [&](platform::DriveBay& d) { Ata(d); },
         "drive 0 ATA, hours 900, warning 0, used -, temperature 41, fields W T", l_strAta.c_str()},
        {"a failing ATA drive with an attribute at its threshold",
         [&](platform::DriveBay& d) {
             Ata(d).failing = true;
             (*d.Drive(0).thresholds)[3] = 9;
         },
         "drive 0 ATA, hours 900, warning 3, used -, temperature 41, fields W T", l_strAta.c_str()},
        {"a worn SSD read through the pass-through",
         [&](platform::DriveBay& d) { Ata(d).deviceStatistics = DeviceStatistics(38, 104); },
         "drive 0 ATA, hours 900, warning 0, used 104, temperature 38, fields W U T",
         l_strAta.c_str()},
        {"the pass-through refused: SMART READ LOG",
         [&](platform::DriveBay& d) {
             Ata(d).deviceStatistics = DeviceStatistics(38, 104);
             d.Drive(0).behaviour.refusesPassThrough = true;
         },
         "drive 0 ATA, hours 900, warning 0, used 104, temperature 38, fields W U T",
         l_strAta.c_str()},
        {"the drive aborts READ LOG EXT: SMART READ LOG",
         [&](platform::DriveBay& d) {
             Ata(d).deviceStatistics = DeviceStatistics(38, 104);
             d.Drive(0).behaviour.abortsReadLogExt = true;
         },
         "drive 0 ATA, hours 900, warning 0, used 104, temperature 38, fields W U T",
         l_strAta.c_str()},
        {"a log that ends at page 5 read through SMART READ LOG",
         [&](platform::DriveBay& d) {
             std::vector<std::uint8_t> l_Log = DeviceStatistics(38, 104);
             l_Log[8] = 2;  // pages 0 and 5
             l_Log[11] = 0;
             l_Log.resize(512 * 6);
             Ata(d).deviceStatistics = l_Log;
             d.Drive(0).behaviour.refusesPassThrough = true;
         },
         "drive 0 ATA, hours 900, warning 0, used -, temperature 38, fields W T", l_strAta.c_str()},
        {"statistics supported but not valid",
         [&](platform::DriveBay& d) { Ata(d).deviceStatistics = DeviceStatistics(38, 104, 0x80); },
         "drive 0 ATA, hours 900, warning 0, used -, temperature 41, fields W T", l_strAta.c_str()},
        {"no status, no thresholds: no verdict",
         [&](platform::DriveBay& d) {
             Ata(d).abortedFeatures.insert(platform::ata::kReturnStatus);
             d.Drive(0).thresholds.reset();
         },
         "drive 0 ATA, hours 900, warning -, used -, temperature 41, fields T", l_strAta.c_str()},
        {"no status, an attribute at its threshold: no verdict",
         [&](platform::DriveBay& d) {
             Ata(d).abortedFeatures.insert(platform::ata::kReturnStatus);
             (*d.Drive(0).thresholds)[3] = 9;
         },
         "drive 0 ATA, hours 900, warning -, used -, temperature 41, fields T", l_strAta.c_str()},
        {"no rights, a verdict without attributes (from SCSI sense data)",
         [&](platform::DriveBay& d) {
             Ata(d).attributes.fill(0);
             d.SetAdministrator(false);
         },
         "drive 0 none without rights, hours 0, warning 0, used -, temperature -, fields W",
         "Drive 0: the drive's verdict alone (without administrator rights)"},
        {"no rights, a failure predicted from SCSI sense data",
         [&](platform::DriveBay& d) {
             Ata(d).attributes.fill(0);
             d.Drive(0).failing = true;
             d.SetAdministrator(false);
         },
         "drive 0 none without rights, hours 0, warning 1, used -, temperature -, fields W",
         "Drive 0: the drive's verdict alone (without administrator rights)"},
        {"a driver error in every status block",
         [&](platform::DriveBay& d) { Ata(d).behaviour.driverError = true; },
         "drive 0 none, hours 0, warning -, used -, temperature -, fields",
         "Drive 0: no health information"},
        {"power-on hours past 16 bits",
         [&](platform::DriveBay& d) { PutAtaDrive(d.Drive(0), 70000); },
         "drive 0 ATA, hours 70000, warning 0, used -, temperature 41, fields W T",
         l_strAta.c_str()},
        {"a disk without failure prediction (error 1), as eMMC and USB media are",
         [](platform::DriveBay& d) {
             d.Drive(0).busType = kBusTypeMmc;
             d.Drive(0).abortedFeatures.insert(platform::ata::kEnable);
         },
         "drive 0 none, hours 0, warning -, used -, temperature -, fields",
         "Drive 0: no health information"},
        {"a system disk that does not exist",
         [](platform::DriveBay& d) { d.SetVolume(std::vector<std::uint32_t>{3}); },
         "drive 3 none, hours 0, warning -, used -, temperature -, fields",
         "Drive 3: cannot be opened (error 2)"},
        {"no rights, an ATA drive: the predict-failure query alone",
         [&](platform::DriveBay& d) {
             Ata(d).failing = true;
             (*d.Drive(0).thresholds)[3] = 9;
             d.Drive(0).deviceStatistics = DeviceStatistics(38, 104);
             d.SetAdministrator(false);
         },
         "drive 0 ATA without rights, hours 900, warning 1, used -, temperature 41, fields W T",
         "Drive 0: ATA S.M.A.R.T. attributes (without administrator rights)"},
        {"no rights, an NVMe system disk",
         [](platform::DriveBay& d) {
             PutNvmeDrive(d.Drive(2), 7000);
             d.SetVolume(std::vector<std::uint32_t>{2});
             d.SetAdministrator(false);
         },
         "drive 2 NVMe without rights, hours 7000, warning 0, used 12, temperature 45, fields W U "
         "T",
         "Drive 2: NVMe health information (without administrator rights)"},
        {"a RAID controller's volume",
         [](platform::DriveBay& d) {
             d.Drive(0).busType = platform::bus::kRaid;
             d.Drive(0).abortedFeatures.insert(platform::ata::kEnable);
         },
         "drive 0 none, hours 0, warning -, used -, temperature -, fields",
         "Drive 0: hidden by a RAID controller"},
        {"no rights and a drive that answers no query",
         [](platform::DriveBay& d) {
             d.Drive(0).refusesQueries = true;
             d.SetAdministrator(false);
         },
         "drive 0 none, hours 0, warning -, used -, temperature -, fields",
         "Drive 0: no health information"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        platform::DriveBay l_Device;
        c.machine(l_Device);
        const platform::Substitute<platform::DiskDevice> l_UseDevice{l_Device};
        const fakes::LogCapture l_Log(0);
        MBDataAquisition::Harddisk l_Disk(L"", L"");
        const MBDataAquisition::DiskHealthReadings l_Provides = l_Disk.Provides();
        l_Disk.Update();
        EXPECT_EQ(Describe(l_Disk.Health(), l_Provides), c.record);
        EXPECT_NE(l_Log.Normalized(true).find("\t\t" + std::string(c.sourceLine) + "\r\n"),
                  std::string::npos)
            << l_Log.Normalized(true);
        // Without rights nothing that needs them is asked; with them the pass-through comes
        // first and SMART READ LOG only after it was refused.
        const bool l_bAtaWithRights = l_Disk.Health().source == DiskSource::Ata &&
                                      l_Disk.Health().access == DiskAccess::ReadWrite;
        const auto Asked = [&l_Device](std::uint8_t p_nCommand, int p_nFeature) {
            const auto l_Calls = l_Device.AtaCalls();
            return std::any_of(l_Calls.begin(), l_Calls.end(), [&](const auto& p_Call) {
                return p_Call.registers.command == p_nCommand &&
                       (p_nFeature < 0 || p_Call.registers.features == p_nFeature);
            });
        };
        EXPECT_EQ(Asked(ata::kSmart, ata::kReadThresholds), l_bAtaWithRights);
        EXPECT_EQ(Asked(ata::kReadLogExt, -1), l_bAtaWithRights);
        const platform::DriveBehaviour& l_Behaviour = l_Device.Drive(0).behaviour;
        EXPECT_EQ(
            Asked(ata::kSmart, ata::kReadLog),
            l_bAtaWithRights && (l_Behaviour.refusesPassThrough || l_Behaviour.abortsReadLogExt ||
                                 l_Device.Drive(0).deviceStatistics.empty()));
    }
}

}  // namespace
