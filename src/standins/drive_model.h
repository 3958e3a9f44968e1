#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/disk_device.h"

namespace platform {

// How a drive, or its driver, misbehaves: the flags of a drive folder's "PhysicalDriveN.behaviour"
// file, one name a line.
struct DriveBehaviour {
    bool refusesPassThrough = false;  // "refuses-pass-through": the ATA pass-through fails (50)
    bool abortsReadLogExt = false;    // "aborts-read-log-ext": READ LOG EXT ends with ERR
    bool driverError = false;         // "driver-error": every S.M.A.R.T. command fails (1117)
    bool senseOnly = false;           // "sense-only": only the predict-failure query answers
    bool noRightsOnly = false;        // "no-rights-only": never opens for reading and writing
    bool blocks = false;              // "blocks": every call on the drive waits for ever

    // Sets the flag `name`; false for a name that is none.
    bool Set(const std::string& name);
};

// One drive as the disk driver presents it, and its answers to the protocol operations: an ATA
// drive's S.M.A.R.T. attribute data, thresholds, verdict and Device Statistics log, or an NVMe
// drive's health page; its device descriptor; its behaviour. The one imitation of a drive that
// the posix platform (from a drive folder) and the tests (built directly) share. Failures set the
// last error code as the disk driver does.
struct DriveModel {
    using Block = std::array<std::uint8_t, DiskDevice::kSectorSize>;

    bool nvme = false;
    Block attributes{};               // ATA: the attribute data block
    std::optional<Block> thresholds;  // ATA: the threshold block; READ THRESHOLDS fails without
    bool failing = false;             // the drive reports a threshold exceeded
    std::vector<std::uint8_t> deviceStatistics;  // ATA: log 04h, page k at byte 512·k
    Block healthPage{};                          // NVMe: the SMART / Health Information page
    std::optional<std::uint32_t> busType;        // the descriptor's; default SATA or NVMe
    std::string vendor;
    std::string product;
    std::string serial;
    DriveBehaviour behaviour;
    // SMART features that the drive aborts (the driver fails them with error 1), as a drive that
    // lacks part of the feature set or a disk without failure prediction does.
    std::set<std::uint8_t> abortedFeatures;
    // The descriptor, predict-failure and health page queries fail (error 1), as on a
    // controller that answers none of them.
    bool refusesQueries = false;

    bool Ata(const AtaRegisters& in, AtaRegisters& out, std::uint8_t* data,
             std::size_t dataSize) const;
    bool HealthPage(std::uint8_t* page) const;
    bool PredictFailure(bool& predicted, std::uint8_t* data) const;
    bool Descriptor(StorageDescriptor& descriptor) const;
};

// Writes one 12-byte attribute entry into a block: entry `slot` (0..29) at 2 + 12·slot, its raw
// value's six bytes little-endian.
void PutAttribute(DriveModel::Block& block, int slot, std::uint8_t id, std::uint16_t flags,
                  std::uint8_t current, std::uint8_t worst, std::uint64_t raw48,
                  std::uint8_t reserved = 0);

}  // namespace platform
