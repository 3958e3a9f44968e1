#include "standins/drive_model.h"

#include <algorithm>
#include <cstring>

#include "platform/ata_commands.h"
#include "platform/byte_order.h"
#include "platform/last_error.h"

namespace platform {

namespace {

bool Fail(unsigned long code)
{
    SetLastErrorCode(code);
    return false;
}

bool Copy(const std::uint8_t* from, std::size_t size, std::uint8_t* data, std::size_t dataSize)
{
    if (data == nullptr || dataSize != size) {
        return Fail(kErrorInvalidParameter);
    }
    std::memcpy(data, from, size);
    return true;
}

}  // namespace

bool DriveBehaviour::Set(const std::string& name)
{
    const std::pair<const char*, bool DriveBehaviour::*> flags[] = {
        {"refuses-pass-through", &DriveBehaviour::refusesPassThrough},
        {"aborts-read-log-ext", &DriveBehaviour::abortsReadLogExt},
        {"driver-error", &DriveBehaviour::driverError},
        {"sense-only", &DriveBehaviour::senseOnly},
        {"no-rights-only", &DriveBehaviour::noRightsOnly},
        {"blocks", &DriveBehaviour::blocks},
    };
    for (const auto& [flagName, flag] : flags) {
        if (name == flagName) {
            this->*flag = true;
            return true;
        }
    }
    return false;
}

bool DriveModel::Ata(const AtaRegisters& in, AtaRegisters& out, std::uint8_t* data,
                     std::size_t dataSize) const
{
    out = in;
    // The NVMe driver knows no ATA command; a disk without failure prediction (and a driver
    // that takes the verdict from sense data) refuses them as an invalid request.
    if (nvme || behaviour.senseOnly) {
        return Fail(kErrorInvalidFunction);
    }
    if (in.command == ata::kReadLogExt) {
        if (behaviour.refusesPassThrough) {
            return Fail(kErrorNotSupported);
        }
        if (in.lbaLow != ata::kDeviceStatisticsLog || in.sectorCount != 1 ||
            dataSize != DiskDevice::kSectorSize || data == nullptr) {
            return Fail(kErrorInvalidParameter);
        }
        const std::size_t start = DiskDevice::kSectorSize * in.lbaMid;
        std::memset(data, 0, dataSize);
        if (behaviour.abortsReadLogExt || deviceStatistics.size() < start + dataSize) {
            out.command = ata::kStatusReady | ata::kStatusError;
            return true;
        }
        std::memcpy(data, deviceStatistics.data() + start, dataSize);
        out.command = ata::kStatusReady;
        return true;
    }
    if (in.command != ata::kSmart || in.lbaMid != ata::kSignatureMid ||
        in.lbaHigh != ata::kSignatureHigh) {
        return Fail(kErrorNotSupported);
    }
    if (behaviour.driverError) {
        return Fail(kErrorIoDevice);
    }
    if (abortedFeatures.count(in.features) != 0) {
        return Fail(kErrorInvalidFunction);
    }
    out.command = ata::kStatusReady;
    switch (in.features) {
    case ata::kEnable:
    case ata::kAutoOffline:
        return true;
    case ata::kReturnStatus:
        out.lbaMid = failing ? ata::kExceededMid : ata::kSignatureMid;
        out.lbaHigh = failing ? ata::kExceededHigh : ata::kSignatureHigh;
        return true;
    case ata::kReadAttributes:
        return Copy(attributes.data(), attributes.size(), data, dataSize);
    case ata::kReadThresholds:
        return thresholds ? Copy(thresholds->data(), thresholds->size(), data, dataSize)
                          : Fail(kErrorIoDevice);
    case ata::kReadLog: {
        // The pages from page 0 on; a count beyond the log's last page is aborted.
        const std::size_t size = DiskDevice::kSectorSize * in.sectorCount;
        if (in.lbaLow != ata::kDeviceStatisticsLog || size == 0 || deviceStatistics.size() < size) {
            return Fail(kErrorIoDevice);
        }
        return Copy(deviceStatistics.data(), size, data, dataSize);
    }
    default:
        return Fail(kErrorNotSupported);
    }
}

bool DriveModel::HealthPage(std::uint8_t* page) const
{
    if (refusesQueries) {
        return Fail(kErrorInvalidFunction);
    }
    if (!nvme || behaviour.senseOnly) {
        return Fail(kErrorNotSupported);
    }
    std::memcpy(page, healthPage.data(), healthPage.size());
    return true;
}

bool DriveModel::PredictFailure(bool& predicted, std::uint8_t* data) const
{
    if (refusesQueries) {
        return Fail(kErrorInvalidFunction);
    }
    if (nvme) {
        return Fail(kErrorNotSupported);
    }
    predicted = failing;
    if (behaviour.senseOnly) {
        std::memset(data, 0, DiskDevice::kSectorSize);
    } else {
        std::memcpy(data, attributes.data(), attributes.size());
    }
    return true;
}

bool DriveModel::Descriptor(StorageDescriptor& descriptor) const
{
    if (refusesQueries || behaviour.senseOnly) {
        return Fail(kErrorInvalidFunction);
    }
    descriptor.busType = busType.value_or(nvme ? bus::kNvme : bus::kSata);
    descriptor.vendor = vendor;
    descriptor.product = product;
    descriptor.serial = serial;
    return true;
}

void PutAttribute(DriveModel::Block& block, int slot, std::uint8_t id, std::uint16_t flags,
                  std::uint8_t current, std::uint8_t worst, std::uint64_t raw48,
                  std::uint8_t reserved)
{
    std::uint8_t* entry = block.data() + 2 + 12 * slot;
    entry[0] = id;
    le::Store16(entry + 1, flags);
    entry[3] = current;
    entry[4] = worst;
    for (int i = 0; i < 6; ++i) {
        entry[5 + i] = static_cast<std::uint8_t>(raw48 >> (8 * i));
    }
    entry[11] = reserved;
}

}  // namespace platform
