#include "fakes/fake_disk_device.h"

#include "platform/byte_order.h"
#include "platform/last_error.h"

#include <algorithm>
#include <cstring>

namespace fakes {

namespace {

constexpr platform::DiskDevice::Handle kHandleBase = 0x1000;
const std::wstring kPrefix = L"\\\\.\\PHYSICALDRIVE";

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
    const Handle l_hDrive = kHandleBase + l_nDrive;
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
    const auto l_It = m_Drives.find(static_cast<int>(handle - kHandleBase));
    if (l_bOpen && l_It != m_Drives.end()) {
        l_Call.nDrive = l_It->first;
    }
    m_Calls.push_back(l_Call);
    if (l_Call.nDrive < 0) {
        platform::SetLastErrorCode(platform::kErrorInvalidHandle);
        return 0;
    }
    const Drive& l_Drive = l_It->second;
    namespace storage = platform::storage;

    if (code == storage::kQueryProperty) {
        return AnswerQuery(l_Drive, l_pIn, inputSize, l_pOut, outputSize, bytesReturned);
    }
    if (l_Drive.nBusType == storage::kBusTypeNvme) {
        platform::SetLastErrorCode(platform::kErrorNotSupported);
        return 0;
    }

    if (code == smart::kGetVersion) {
        if (l_Drive.nVersionResult != 0 && l_pOut != nullptr && outputSize >= smart::kVersionSize) {
            std::memset(l_pOut, 0, smart::kVersionSize);
            platform::le::Store32(l_pOut + smart::kVersionCapabilitiesOffset,
                                  l_Drive.nCapabilities);
            bytesReturned = smart::kVersionSize;
        }
        return l_Drive.nVersionResult;
    }
    if (code == smart::kSendDriveCommand) {
        return l_Call.Command.features == smart::kFeatureAutoOffline ? l_Drive.nAutoOfflineResult
                                                                     : l_Drive.nEnableResult;
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
        std::uint8_t l_Descriptor[storage::kDeviceDescriptorSize];
        storage::EncodeDeviceDescriptor(l_Descriptor, drive.nBusType);
        bytesReturned = std::min<std::uint32_t>(outputSize, storage::kDeviceDescriptorSize);
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
