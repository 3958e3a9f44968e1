#include "fakes/fake_disk_device.h"

#include "platform/byte_order.h"
#include "platform/last_error.h"
#include "platform/volume_extents.h"

#include <algorithm>
#include <cstring>

namespace fakes {

namespace {

constexpr platform::DiskDevice::Handle kHandleBase = 0x1000;
constexpr platform::DiskDevice::Handle kQueryHandleBase = 0x2000;
constexpr platform::DiskDevice::Handle kVolumeHandle = 0x3000;
const std::wstring kPrefix = L"\\\\.\\PHYSICALDRIVE";

int Fail(unsigned long code)
{
    platform::SetLastErrorCode(code);
    return 0;
}

}  // namespace

FakeDiskDevice::Drive& FakeDiskDevice::AddDrive(int n)
{
    return m_Drives[n];
}

void FakeDiskDevice::RemoveDrive(int n)
{
    m_Drives.erase(n);
}

platform::DiskDevice::Handle FakeDiskDevice::Open(const std::wstring& path)
{
    m_Opened.push_back(path);
    if (path.compare(0, kPrefix.size(), kPrefix) != 0) {
        platform::SetLastErrorCode(platform::kErrorFileNotFound);
        return platform::kInvalidHandle;
    }
    const int l_nDrive = std::stoi(path.substr(kPrefix.size()));
    if (m_Drives.count(l_nDrive) == 0) {
        platform::SetLastErrorCode(platform::kErrorFileNotFound);
        return platform::kInvalidHandle;
    }
    if (m_bNoRights) {
        platform::SetLastErrorCode(platform::kErrorAccessDenied);
        return platform::kInvalidHandle;
    }
    const Handle l_hDrive = kHandleBase + l_nDrive;
    m_OpenHandles.insert(l_hDrive);
    return l_hDrive;
}

platform::DiskDevice::Handle FakeDiskDevice::OpenForQuery(const std::wstring& path)
{
    m_OpenedForQuery.push_back(path);
    if (path.size() == 6 && path.compare(0, 4, L"\\\\.\\") == 0 && path[5] == L':') {
        if (!m_SystemDrive) {
            platform::SetLastErrorCode(platform::kErrorFileNotFound);
            return platform::kInvalidHandle;
        }
        m_OpenHandles.insert(kVolumeHandle);
        return kVolumeHandle;
    }
    if (path.compare(0, kPrefix.size(), kPrefix) != 0 ||
        m_Drives.count(std::stoi(path.substr(kPrefix.size()))) == 0) {
        platform::SetLastErrorCode(platform::kErrorFileNotFound);
        return platform::kInvalidHandle;
    }
    const Handle l_hDrive = kQueryHandleBase + std::stoi(path.substr(kPrefix.size()));
    m_OpenHandles.insert(l_hDrive);
    return l_hDrive;
}

int FakeDiskDevice::Control(Handle handle, std::uint32_t code, const void* input,
                            std::uint32_t inputSize, void* output, std::uint32_t outputSize,
                            std::uint32_t& bytesReturned)
{
    namespace smart = platform::smart;
    bytesReturned = 0;
    ControlCall l_Call;
    l_Call.nCode = code;
    l_Call.nInputSize = inputSize;
    l_Call.nOutputSize = outputSize;
    const auto* l_pIn = static_cast<const std::uint8_t*>(input);
    if (l_pIn != nullptr) {
        l_Call.Input.assign(l_pIn, l_pIn + inputSize);
        if (inputSize >= smart::kCommandInSize) {
            l_Call.Command = smart::DecodeCommand(l_pIn);
        }
    }
    auto* l_pOut = static_cast<std::uint8_t*>(output);
    l_Call.bOutputZeroed = l_pOut != nullptr && std::all_of(l_pOut, l_pOut + outputSize,
                                                            [](std::uint8_t b) { return b == 0; });

    const bool l_bOpen = m_OpenHandles.count(handle) != 0;
    const bool l_bQueryOnly = handle >= kQueryHandleBase && handle < kVolumeHandle;
    const auto l_It =
        m_Drives.find(static_cast<int>(handle - (l_bQueryOnly ? kQueryHandleBase : kHandleBase)));
    if (l_bOpen && l_It != m_Drives.end()) {
        l_Call.nDrive = l_It->first;
    }
    m_Calls.push_back(l_Call);
    if (l_bOpen && handle == kVolumeHandle) {
        return code == platform::volume::kGetDiskExtents
                   ? AnswerVolume(l_pOut, outputSize, bytesReturned)
                   : Fail(platform::kErrorNotSupported);
    }
    if (l_Call.nDrive < 0) {
        return Fail(platform::kErrorInvalidHandle);
    }
    const Drive& l_Drive = l_It->second;
    namespace storage = platform::storage;

    if (code == storage::kQueryProperty) {
        return AnswerQuery(l_Drive, l_pIn, inputSize, l_pOut, outputSize, bytesReturned);
    }
    if (code == storage::kPredictFailure) {
        if (l_Drive.nBusType == storage::kBusTypeNvme || l_Drive.nPredictResult == 0) {
            return Fail(platform::kErrorNotSupported);
        }
        if (l_pOut == nullptr || outputSize < storage::kPredictFailureSize) {
            return Fail(platform::kErrorInsufficientBuffer);
        }
        platform::le::Store32(l_pOut + storage::kPredictFailureFlagOffset,
                              l_Drive.bFailing ? 1 : 0);
        std::memcpy(l_pOut + storage::kPredictVendorSpecificOffset, l_Drive.Block.data(),
                    l_Drive.Block.size());
        bytesReturned = storage::kPredictFailureSize;
        return 1;
    }
    if (l_bQueryOnly) {
        return Fail(platform::kErrorAccessDenied);
    }
    if (l_Drive.nBusType == storage::kBusTypeNvme) {
        return Fail(platform::kErrorNotSupported);
    }
    if (code == platform::ata::kPassThrough) {
        return AnswerPassThrough(l_Drive, l_pIn, inputSize, l_pOut, outputSize, bytesReturned);
    }
    const int l_nResult = AnswerSmart(l_Drive, l_Call, l_pOut, outputSize, bytesReturned);
    if (l_nResult == 1 && code != smart::kGetVersion && l_pOut != nullptr &&
        outputSize > smart::kOutDriverErrorOffset) {
        l_pOut[smart::kOutDriverErrorOffset] = l_Drive.nDriverError;
    }
    return l_nResult;
}

int FakeDiskDevice::AnswerVolume(std::uint8_t* output, std::uint32_t outputSize,
                                 std::uint32_t& bytesReturned)
{
    namespace volume = platform::volume;
    const std::vector<std::uint32_t> l_Disks =
        m_Extents.empty() ? std::vector<std::uint32_t>{*m_SystemDrive} : m_Extents;
    if (output == nullptr || outputSize < volume::kExtentsSize) {
        return Fail(platform::kErrorInsufficientBuffer);
    }
    std::memset(output, 0, outputSize);
    platform::le::Store32(output + volume::kExtentCountOffset,
                          static_cast<std::uint32_t>(l_Disks.size()));
    std::size_t l_nFit = 0;
    for (; l_nFit < l_Disks.size() && volume::ExtentsSize(l_nFit + 1) <= outputSize; ++l_nFit) {
        platform::le::Store32(output + volume::kFirstExtentOffset + volume::kExtentSize * l_nFit +
                                  volume::kExtentDiskNumberOffset,
                              l_Disks[l_nFit]);
    }
    bytesReturned = static_cast<std::uint32_t>(volume::ExtentsSize(l_nFit));
    return l_nFit == l_Disks.size() ? 1 : Fail(platform::kErrorMoreData);
}

int FakeDiskDevice::AnswerPassThrough(const Drive& drive, const std::uint8_t* input,
                                      std::uint32_t inputSize, std::uint8_t* output,
                                      std::uint32_t outputSize, std::uint32_t& bytesReturned)
{
    namespace ata = platform::ata;
    if (!drive.bPassThrough) {
        return Fail(platform::kErrorNotSupported);
    }
    if (input == nullptr || inputSize < ata::kReadLogBufferSize || output == nullptr ||
        outputSize < ata::kReadLogBufferSize) {
        return Fail(platform::kErrorInvalidParameter);
    }
    const ata::ReadLogRequest l_Request = ata::DecodeReadLog(input);
    const std::size_t l_nStart = ata::kPageSize * l_Request.page;
    if (l_Request.command != ata::kReadLogExt ||
        l_Request.log != platform::smart::kDeviceStatisticsLog ||
        drive.DeviceStatistics.size() < l_nStart + ata::kPageSize) {
        return Fail(platform::kErrorNotSupported);
    }
    std::memmove(output, input, ata::kHeaderSize);
    // The returned registers: the status in place of the command.
    output[ata::kCurrentTaskFileOffset + ata::kTaskStatusOffset] =
        drive.bReadLogExtAborted ? ata::kStatusReady | ata::kStatusError : ata::kStatusReady;
    if (drive.bReadLogExtAborted) {
        std::memset(output + ata::kHeaderSize, 0, ata::kPageSize);
    } else {
        std::memcpy(output + ata::kHeaderSize, drive.DeviceStatistics.data() + l_nStart,
                    ata::kPageSize);
    }
    bytesReturned = static_cast<std::uint32_t>(ata::kReadLogBufferSize);
    return 1;
}

int FakeDiskDevice::AnswerSmart(const Drive& l_Drive, const ControlCall& l_Call,
                                std::uint8_t* l_pOut, std::uint32_t outputSize,
                                std::uint32_t& bytesReturned)
{
    namespace smart = platform::smart;
    const std::uint32_t code = l_Call.nCode;

    if (code == smart::kGetVersion) {
        // The disk driver's answer for a disk without failure prediction.
        if (l_Drive.nVersionResult == 0) {
            platform::SetLastErrorCode(platform::kErrorInvalidFunction);
        }
        if (l_Drive.nVersionResult != 0 && l_pOut != nullptr && outputSize >= smart::kVersionSize) {
            std::memset(l_pOut, 0, smart::kVersionSize);
            platform::le::Store32(l_pOut + smart::kVersionCapabilitiesOffset,
                                  l_Drive.nCapabilities);
            bytesReturned = smart::kVersionSize;
        }
        return l_Drive.nVersionResult;
    }
    if (code == smart::kSendDriveCommand &&
        l_Call.Command.features == smart::kFeatureReturnStatus) {
        if (l_Drive.nStatusResult == 1 && l_pOut != nullptr &&
            outputSize >= smart::kStatusOutSize) {
            std::uint8_t* l_pRegisters = l_pOut + smart::kOutDataOffset;
            l_pRegisters[smart::kRegisterCylinderLowOffset] =
                l_Drive.bFailing ? smart::kExceededCylinderLow : smart::kCylinderLow;
            l_pRegisters[smart::kRegisterCylinderHighOffset] =
                l_Drive.bFailing ? smart::kExceededCylinderHigh : smart::kCylinderHigh;
            bytesReturned = smart::kStatusOutSize;
        }
        return l_Drive.nStatusResult;
    }
    if (code == smart::kSendDriveCommand) {
        return l_Call.Command.features == smart::kFeatureAutoOffline ? l_Drive.nAutoOfflineResult
                                                                     : l_Drive.nEnableResult;
    }
    if (code == smart::kReceiveDriveData &&
        l_Call.Command.features == smart::kFeatureReadThresholds) {
        if (!l_Drive.Thresholds || l_pOut == nullptr || outputSize < smart::kReadOutSize) {
            return Fail(platform::kErrorNotSupported);
        }
        std::memcpy(l_pOut + smart::kOutDataOffset, l_Drive.Thresholds->data(),
                    smart::kAttributeBlockSize);
        bytesReturned = smart::kReadOutSize;
        return 1;
    }
    if (code == smart::kReceiveDriveData && l_Call.Command.features == smart::kFeatureReadLog) {
        const std::size_t l_nSize = smart::kLogPageSize * l_Call.Command.sectorCount;
        if (l_Call.Command.sectorNumber != smart::kDeviceStatisticsLog || l_pOut == nullptr ||
            l_nSize == 0 || l_Drive.DeviceStatistics.size() < l_nSize) {
            return Fail(platform::kErrorNotSupported);
        }
        // The disk driver's rule for the output buffer.
        const std::size_t l_nOutSize = smart::ReadLogOutSize(l_Call.Command.sectorCount);
        if (outputSize < l_nOutSize) {
            return Fail(platform::kErrorInsufficientBuffer);
        }
        std::memcpy(l_pOut + smart::kOutDataOffset, l_Drive.DeviceStatistics.data(), l_nSize);
        bytesReturned = static_cast<std::uint32_t>(l_nOutSize);
        return 1;
    }
    if (code == smart::kReceiveDriveData) {
        if (l_Drive.nReadResult == 1 && l_pOut != nullptr && outputSize >= smart::kReadOutSize) {
            platform::le::Store32(l_pOut, smart::kAttributeBlockSize);
            std::memcpy(l_pOut + smart::kOutDataOffset, l_Drive.Block.data(), l_Drive.Block.size());
            bytesReturned = smart::kReadOutSize;
        }
        return l_Drive.nReadResult;
    }
    platform::SetLastErrorCode(platform::kErrorNotSupported);
    return 0;
}

int FakeDiskDevice::AnswerQuery(const Drive& drive, const std::uint8_t* input,
                                std::uint32_t inputSize, std::uint8_t* output,
                                std::uint32_t outputSize, std::uint32_t& bytesReturned)
{
    namespace storage = platform::storage;
    if (drive.nBusType == 0 || input == nullptr || inputSize < storage::kQuerySize ||
        output == nullptr) {
        platform::SetLastErrorCode(platform::kErrorNotSupported);
        return 0;
    }
    const storage::QueryRequest l_Request = storage::DecodeQuery(input, inputSize);
    if (l_Request.propertyId == storage::kDeviceProperty) {
        std::uint8_t l_Descriptor[storage::kDeviceAnswerSize];
        const std::uint32_t l_nSize = storage::EncodeDeviceDescriptor(
            l_Descriptor, sizeof(l_Descriptor), drive.nBusType, drive.Model, drive.Serial);
        bytesReturned = std::min<std::uint32_t>(outputSize, l_nSize);
        std::memcpy(output, l_Descriptor, bytesReturned);
        return 1;
    }
    if (drive.nHealthResult == 0) {
        platform::SetLastErrorCode(platform::kErrorNotSupported);
        return 0;
    }
    std::vector<std::uint8_t> l_Answer = drive.HealthAnswer;
    if (l_Answer.empty()) {
        l_Answer.resize(storage::kHealthAnswerSize);
        storage::EncodeHealthAnswer(l_Answer.data(), drive.Page.data());
    }
    std::memcpy(output, l_Answer.data(), std::min<std::size_t>(outputSize, l_Answer.size()));
    bytesReturned = drive.nHealthBytes.value_or(
        static_cast<std::uint32_t>(std::min<std::size_t>(outputSize, l_Answer.size())));
    return drive.nHealthResult;
}

void FakeDiskDevice::Close(Handle handle)
{
    ++m_nCloses;
    m_OpenHandles.erase(handle);
}

std::vector<FakeDiskDevice::ControlCall> FakeDiskDevice::CallsOf(std::uint32_t code,
                                                                 int features) const
{
    std::vector<ControlCall> l_Result;
    for (const auto& l_Call : m_Calls) {
        if (l_Call.nCode == code && (features < 0 || l_Call.Command.features == features)) {
            l_Result.push_back(l_Call);
        }
    }
    return l_Result;
}

void PutAttribute(std::array<std::uint8_t, platform::smart::kAttributeBlockSize>& block, int slot,
                  std::uint8_t id, std::uint16_t flags, std::uint8_t current, std::uint8_t worst,
                  std::uint64_t raw48, std::uint8_t reserved)
{
    std::uint8_t* l_pEntry = block.data() + 2 + 12 * slot;
    l_pEntry[0] = id;
    platform::le::Store16(l_pEntry + 1, flags);
    l_pEntry[3] = current;
    l_pEntry[4] = worst;
    for (int i = 0; i < 6; ++i) {
        l_pEntry[5 + i] = static_cast<std::uint8_t>(raw48 >> (8 * i));
    }
    l_pEntry[11] = reserved;
}

}  // namespace fakes
