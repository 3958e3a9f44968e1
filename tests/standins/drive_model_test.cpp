#include "standins/drive_model.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/ata_commands.h"
#include "platform/last_error.h"

namespace platform {
namespace {

// What a drive answers to each protocol operation, in one line: SMART READ DATA, RETURN STATUS,
// READ LOG EXT of page 1, SMART READ LOG of two pages, the health page, the predict-failure query
// and the descriptor ("-" and the error for a failure, "abort" for a command the drive aborted).
std::string Answers(const DriveModel& p_Drive)
{
    const auto Failure = [] { return "-" + std::to_string(GetLastErrorCode()); };
    std::vector<std::uint8_t> l_Data(2 * DiskDevice::kSectorSize);
    const auto Ata = [&](std::uint8_t p_nCommand, std::uint8_t p_nFeature, std::uint8_t p_nCount,
                         std::uint8_t p_nLbaLow, std::uint8_t p_nLbaMid, std::size_t p_nSize) {
        AtaRegisters l_In;
        l_In.features = p_nFeature;
        l_In.sectorCount = p_nCount;
        l_In.lbaLow = p_nLbaLow;
        l_In.lbaMid = p_nLbaMid;
        l_In.lbaHigh = p_nCommand == ata::kSmart ? ata::kSignatureHigh : 0;
        l_In.command = p_nCommand;
        AtaRegisters l_Out;
        if (!p_Drive.Ata(l_In, l_Out, l_Data.data(), p_nSize)) {
            return Failure();
        }
        if ((l_Out.command & ata::kStatusError) != 0) {
            return std::string("abort");
        }
        return p_nSize == 0 ? std::to_string(l_Out.lbaMid) : std::to_string(l_Data[p_nSize - 1]);
    };
    std::string l_strLine =
        Ata(ata::kSmart, ata::kReadAttributes, 1, 1, ata::kSignatureMid, 512) + " " +
        Ata(ata::kSmart, ata::kReturnStatus, 0, 1, ata::kSignatureMid, 0) + " " +
        Ata(ata::kReadLogExt, 0, 1, ata::kDeviceStatisticsLog, 1, 512) + " " +
        Ata(ata::kSmart, ata::kReadLog, 2, ata::kDeviceStatisticsLog, ata::kSignatureMid, 1024);
    l_strLine += " " + (p_Drive.HealthPage(l_Data.data()) ? std::to_string(l_Data[0]) : Failure());
    bool l_bPredicted = false;
    l_strLine += " " + (p_Drive.PredictFailure(l_bPredicted, l_Data.data())
                            ? std::to_string(l_bPredicted) + "/" + std::to_string(l_Data[511])
                            : Failure());
    StorageDescriptor l_Descriptor;
    l_strLine +=
        " " + (p_Drive.Descriptor(l_Descriptor) ? std::to_string(l_Descriptor.busType) : Failure());
    return l_strLine;
}

TEST(DriveModelTest, EveryBehaviourAnswersAsItsDriverWould)
{
    const auto Ata = [] {
        DriveModel l_Drive;
        l_Drive.attributes[511] = 7;
        l_Drive.deviceStatistics.assign(2 * DiskDevice::kSectorSize, 0);
        l_Drive.deviceStatistics[1023] = 9;
        return l_Drive;
    };
    const struct {
        const char* what;
        std::function<void(DriveModel&)> change;
        const char* answers;
    } cases[] = {
        {"a sound ATA drive", [](DriveModel&) {}, "7 79 9 9 -50 0/7 11"},
        {"failing", [](DriveModel& d) { d.failing = true; }, "7 244 9 9 -50 1/7 11"},
        {"refuses-pass-through", [](DriveModel& d) { d.behaviour.refusesPassThrough = true; },
         "7 79 -50 9 -50 0/7 11"},
        {"aborts-read-log-ext", [](DriveModel& d) { d.behaviour.abortsReadLogExt = true; },
         "7 79 abort 9 -50 0/7 11"},
        {"driver-error", [](DriveModel& d) { d.behaviour.driverError = true; },
         "-1117 -1117 9 -1117 -50 0/7 11"},
        {"sense-only",
         [](DriveModel& d) {
             d.behaviour.senseOnly = true;
             d.failing = true;
         },
         "-1 -1 -1 -1 -50 1/0 -1"},
        {"a log of one page", [](DriveModel& d) { d.deviceStatistics.resize(512); },
         "7 79 abort -1117 -50 0/7 11"},
        {"an aborted feature", [](DriveModel& d) { d.abortedFeatures = {ata::kReturnStatus}; },
         "7 -1 9 9 -50 0/7 11"},
        {"an NVMe drive",
         [](DriveModel& d) {
             d.nvme = true;
             d.healthPage[0] = 4;
         },
         "-1 -1 -1 -1 4 -50 17"},
        {"a controller that answers no query", [](DriveModel& d) { d.refusesQueries = true; },
         "7 79 9 9 -1 -1 -1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DriveModel l_Drive = Ata();
        c.change(l_Drive);
        EXPECT_EQ(Answers(l_Drive), c.answers);
    }
}

TEST(DriveModelTest, BehaviourFlagsHaveTheirFileNames)
{
    DriveBehaviour l_Behaviour;
    for (const char* l_strFlag : {"refuses-pass-through", "aborts-read-log-ext", "driver-error",
                                  "sense-only", "no-rights-only", "blocks"}) {
        EXPECT_TRUE(l_Behaviour.Set(l_strFlag)) << l_strFlag;
    }
    EXPECT_FALSE(l_Behaviour.Set("Blocks"));
    EXPECT_TRUE(l_Behaviour.refusesPassThrough && l_Behaviour.abortsReadLogExt &&
                l_Behaviour.driverError && l_Behaviour.senseOnly && l_Behaviour.noRightsOnly &&
                l_Behaviour.blocks);
}

}  // namespace
}  // namespace platform
