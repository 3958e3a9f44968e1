#include "platform/posix/smart_folder_answers.h"

#include "platform/ata_pass_through.h"
#include "platform/byte_order.h"
#include "platform/last_error.h"
#include "platform/smart_ioctl.h"
#include "platform/storage_query.h"
#include "platform/volume_extents.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <vector>

namespace platform::smart_folder {

namespace {

// The two lines of the drive's ".ident" file (model, serial number); empty when there is none.
void ReadIdent(const std::string& base, std::string& model, std::string& serial)
{
    std::ifstream l_File(base + ".ident", std::ios::binary);
    std::getline(l_File, model);
    std::getline(l_File, serial);
    for (std::string* l_pText : {&model, &serial}) {
        if (!l_pText->empty() && l_pText->back() == '\r') {
            l_pText->pop_back();
        }
    }
}

bool IsFailing(const SmartFolder::OpenFile& drive)
{
    return IsRegularFile(drive.base + ".failing");
}

}  // namespace

int Fail(unsigned long code)
{
    SetLastErrorCode(code);
    return 0;
}

bool IsRegularFile(const std::string& file)
{
    struct stat l_Stat {};
    return stat(file.c_str(), &l_Stat) == 0 && S_ISREG(l_Stat.st_mode);
}

bool ReadPadded(const std::string& file, std::uint8_t* out, std::size_t size, std::size_t offset)
{
    std::ifstream l_File(file, std::ios::binary);
    if (!l_File) {
        return false;
    }
    l_File.seekg(0, std::ios::end);
    const auto l_nLength = static_cast<std::size_t>(l_File.tellg());
    if (offset > 0 && l_nLength <= offset) {
        return false;
    }
    l_File.seekg(static_cast<std::streamoff>(offset));
    std::memset(out, 0, size);
    l_File.read(reinterpret_cast<char*>(out), static_cast<std::streamsize>(size));
    return true;
}

int AnswerVolumeExtents(const std::string& folder, const Call& call)
{
    std::ifstream l_File(folder + "/SystemDrive", std::ios::binary);
    std::vector<std::uint32_t> l_Disks;
    unsigned long l_nDisk = 0;
    while (l_File >> l_nDisk) {
        l_Disks.push_back(static_cast<std::uint32_t>(l_nDisk));
    }
    if (l_Disks.empty()) {
        return Fail(kErrorInvalidFunction);
    }
    if (call.output == nullptr || call.outputSize < volume::ExtentsSize(1)) {
        return Fail(kErrorInsufficientBuffer);
    }
    // As the volume driver does: the count of extents, and as many of them as fit.
    std::memset(call.output, 0, call.outputSize);
    le::Store32(call.output + volume::kExtentCountOffset,
                static_cast<std::uint32_t>(l_Disks.size()));
    std::size_t l_nFit = 0;
    for (; l_nFit < l_Disks.size() && volume::ExtentsSize(l_nFit + 1) <= call.outputSize;
         ++l_nFit) {
        le::Store32(call.output + volume::kFirstExtentOffset + volume::kExtentSize * l_nFit +
                        volume::kExtentDiskNumberOffset,
                    l_Disks[l_nFit]);
    }
    call.bytesReturned = static_cast<std::uint32_t>(volume::ExtentsSize(l_nFit));
    return l_nFit == l_Disks.size() ? 1 : Fail(kErrorMoreData);
}

// The storage property query: the device descriptor names the bus, model and serial number, and
// only an NVMe drive answers the query of its health page, with the page right behind the
// protocol-specific data.
int AnswerQuery(const SmartFolder::OpenFile& drive, const Call& call)
{
    if (call.input == nullptr || call.inputSize < storage::kQuerySize) {
        return Fail(kErrorInvalidParameter);
    }
    const storage::QueryRequest l_Request = storage::DecodeQuery(call.input, call.inputSize);
    if (l_Request.queryType != storage::kStandardQuery) {
        return Fail(kErrorNotSupported);
    }
    if (l_Request.propertyId == storage::kDeviceProperty) {
        // As the driver does, a short buffer receives the descriptor's beginning.
        if (call.output == nullptr || call.outputSize < 8) {
            return Fail(kErrorInsufficientBuffer);
        }
        std::string l_strModel;
        std::string l_strSerial;
        ReadIdent(drive.base, l_strModel, l_strSerial);
        std::uint8_t l_Descriptor[storage::kDeviceAnswerSize];
        const std::uint32_t l_nSize = storage::EncodeDeviceDescriptor(
            l_Descriptor, sizeof(l_Descriptor),
            drive.nvme ? storage::kBusTypeNvme : storage::kBusTypeSata, l_strModel, l_strSerial);
        call.bytesReturned = std::min<std::uint32_t>(call.outputSize, l_nSize);
        std::memcpy(call.output, l_Descriptor, call.bytesReturned);
        return 1;
    }
    if (l_Request.propertyId != storage::kDeviceProtocolSpecificProperty || !drive.nvme ||
        l_Request.protocolType != storage::kProtocolTypeNvme ||
        l_Request.dataType != storage::kNvmeDataTypeLogPage ||
        l_Request.requestValue != storage::kHealthLogPage || l_Request.requestSubValue != 0) {
        return Fail(kErrorNotSupported);
    }
    if (l_Request.dataOffset < storage::kProtocolDataSize ||
        l_Request.dataLength < storage::kHealthPageSize) {
        return Fail(kErrorInvalidParameter);
    }
    if (call.output == nullptr || call.outputSize < storage::kHealthAnswerSize) {
        return Fail(kErrorInsufficientBuffer);
    }
    std::uint8_t l_Page[storage::kHealthPageSize];
    if (!ReadPadded(drive.base + ".nvme", l_Page, sizeof(l_Page))) {
        return Fail(kErrorFileNotFound);
    }
    std::memset(call.output, 0, call.outputSize);
    storage::EncodeHealthAnswer(call.output, l_Page);
    call.bytesReturned = storage::kHealthAnswerSize;
    return 1;
}

int AnswerPredictFailure(const SmartFolder::OpenFile& drive, const Call& call)
{
    if (drive.nvme) {
        return Fail(kErrorNotSupported);
    }
    if (call.output == nullptr || call.outputSize < storage::kPredictFailureSize) {
        return Fail(kErrorInsufficientBuffer);
    }
    std::memset(call.output, 0, storage::kPredictFailureSize);
    if (!ReadPadded(drive.base + ".bin", call.output + storage::kPredictVendorSpecificOffset,
                    smart::kAttributeBlockSize)) {
        return Fail(kErrorFileNotFound);
    }
    le::Store32(call.output + storage::kPredictFailureFlagOffset, IsFailing(drive) ? 1 : 0);
    call.bytesReturned = storage::kPredictFailureSize;
    return 1;
}

int AnswerSmart(const SmartFolder::OpenFile& drive, std::uint32_t code, const Call& call)
{
    if (code == smart::kGetVersion) {
        if (call.output == nullptr || call.outputSize < smart::kVersionSize) {
            return Fail(kErrorInsufficientBuffer);
        }
        std::memset(call.output, 0, smart::kVersionSize);
        call.output[0] = 1;  // version
        call.output[1] = 1;  // revision
        call.output[3] = 1;  // device map: one device
        le::Store32(call.output + smart::kVersionCapabilitiesOffset, 1 | smart::kCapSmartCommands);
        call.bytesReturned = smart::kVersionSize;
        return 1;
    }
    if (code != smart::kSendDriveCommand && code != smart::kReceiveDriveData) {
        return Fail(kErrorNotSupported);
    }
    if (call.input == nullptr || call.inputSize < smart::kCommandInSize) {
        return Fail(kErrorInvalidParameter);
    }
    const smart::Command l_Command = smart::DecodeCommand(call.input);
    if (l_Command.command != smart::kSmartCommand || l_Command.cylinderLow != smart::kCylinderLow ||
        l_Command.cylinderHigh != smart::kCylinderHigh) {
        return Fail(kErrorInvalidParameter);
    }

    if (code == smart::kSendDriveCommand) {
        const bool l_bStatus = l_Command.features == smart::kFeatureReturnStatus;
        if (!l_bStatus && l_Command.features != smart::kFeatureEnable &&
            l_Command.features != smart::kFeatureAutoOffline) {
            return Fail(kErrorNotSupported);
        }
        const std::size_t l_nSize = l_bStatus ? smart::kStatusOutSize : smart::kCommandOutSize;
        if (call.output == nullptr || call.outputSize < l_nSize) {
            return Fail(kErrorInsufficientBuffer);
        }
        std::memset(call.output, 0, l_nSize);
        if (l_bStatus) {
            const bool l_bFailing = IsFailing(drive);
            std::uint8_t* l_pRegisters = call.output + smart::kOutDataOffset;
            l_pRegisters[smart::kRegisterCylinderLowOffset] =
                l_bFailing ? smart::kExceededCylinderLow : smart::kCylinderLow;
            l_pRegisters[smart::kRegisterCylinderHighOffset] =
                l_bFailing ? smart::kExceededCylinderHigh : smart::kCylinderHigh;
        }
        call.bytesReturned = static_cast<std::uint32_t>(l_nSize);
        return 1;
    }

    // The data of the read: the attribute block, the threshold block, or pages of the log.
    std::string l_strFile = drive.base + ".bin";
    std::size_t l_nSize = smart::kAttributeBlockSize;
    if (l_Command.features == smart::kFeatureReadThresholds) {
        l_strFile = drive.base + ".thr";
    } else if (l_Command.features == smart::kFeatureReadLog &&
               l_Command.sectorNumber == smart::kDeviceStatisticsLog &&
               l_Command.sectorCount != 0) {
        l_strFile = drive.base + ".devstat";
        l_nSize = smart::kLogPageSize * l_Command.sectorCount;
    } else if (l_Command.features != smart::kFeatureReadAttributes) {
        return Fail(kErrorNotSupported);
    }
    // The disk driver wants room for SMART READ LOG's pages behind a whole SENDCMDINPARAMS.
    const std::size_t l_nOutSize = l_Command.features == smart::kFeatureReadLog
                                       ? smart::ReadLogOutSize(l_Command.sectorCount)
                                       : smart::kOutDataOffset + l_nSize;
    if (call.output == nullptr || call.outputSize < l_nOutSize) {
        return Fail(kErrorInsufficientBuffer);
    }
    std::memset(call.output, 0, call.outputSize);
    if (!ReadPadded(l_strFile, call.output + smart::kOutDataOffset, l_nSize)) {
        return Fail(kErrorNotSupported);
    }
    le::Store32(call.output, static_cast<std::uint32_t>(l_nSize));
    // SENDCMDOUTPARAMS with its one-byte buffer, then the rest of the data.
    call.bytesReturned = static_cast<std::uint32_t>(
        std::min<std::size_t>(call.outputSize, smart::kOutDataOffset + l_nSize + 1));
    return 1;
}

int AnswerPassThrough(const SmartFolder::OpenFile& drive, const Call& call)
{
    if (call.input == nullptr || call.inputSize < ata::kHeaderSize || call.output == nullptr) {
        return Fail(kErrorInvalidParameter);
    }
    const ata::ReadLogRequest l_Request = ata::DecodeReadLog(call.input);
    if (l_Request.command != ata::kReadLogExt || l_Request.log != smart::kDeviceStatisticsLog ||
        l_Request.count != 1) {
        return Fail(kErrorNotSupported);
    }
    if (l_Request.dataOffset < ata::kHeaderSize || l_Request.dataLength < ata::kPageSize ||
        call.outputSize < l_Request.dataOffset + ata::kPageSize) {
        return Fail(kErrorInvalidParameter);
    }
    std::memmove(call.output, call.input, ata::kHeaderSize);
    // The returned registers: the status in place of the command.
    call.output[ata::kCurrentTaskFileOffset + ata::kTaskStatusOffset] = ata::kStatusReady;
    if (!ReadPadded(drive.base + ".devstat", call.output + l_Request.dataOffset, ata::kPageSize,
                    ata::kPageSize * l_Request.page)) {
        return Fail(kErrorNotSupported);
    }
    call.bytesReturned = l_Request.dataOffset + static_cast<std::uint32_t>(ata::kPageSize);
    return 1;
}

}  // namespace platform::smart_folder
