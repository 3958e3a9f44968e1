#include "platform/posix/smart_folder.h"

#include "platform/byte_order.h"
#include "platform/last_error.h"
#include "platform/smart_ioctl.h"
#include "platform/storage_query.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <cwctype>
#include <fstream>

namespace platform {

namespace {

// The drive number of "\\.\PHYSICALDRIVEn" (prefix without case, n decimal), or -1.
long DriveNumber(const std::wstring& path)
{
    static const std::wstring s_strPrefix = L"\\\\.\\PHYSICALDRIVE";
    if (path.size() <= s_strPrefix.size() || path.size() > s_strPrefix.size() + 3) {
        return -1;
    }
    for (std::size_t i = 0; i < s_strPrefix.size(); ++i) {
        if (std::towupper(static_cast<wint_t>(path[i])) != static_cast<wint_t>(s_strPrefix[i])) {
            return -1;
        }
    }
    long l_nDrive = 0;
    for (std::size_t i = s_strPrefix.size(); i < path.size(); ++i) {
        if (path[i] < L'0' || path[i] > L'9') {
            return -1;
        }
        l_nDrive = l_nDrive * 10 + (path[i] - L'0');
    }
    return l_nDrive;
}

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

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The file's first `size` bytes into `out`, the rest of `size` zero; false when it cannot be read.
bool ReadPadded(const std::string& file, std::uint8_t* out, std::size_t size)
{
    std::ifstream l_File(file, std::ios::binary);
    if (!l_File) {
        return false;
    }
    std::memset(out, 0, size);
    l_File.read(reinterpret_cast<char*>(out), static_cast<std::streamsize>(size));
    return true;
}

// The storage property query: the device descriptor names the bus, and only an NVMe drive
// answers the query of its health page, with the page right behind the protocol-specific data.
int AnswerQuery(const std::string& file, bool nvme, const void* input, std::uint32_t inputSize,
                std::uint8_t* out, std::uint32_t outputSize, std::uint32_t& bytesReturned)
{
    if (input == nullptr || inputSize < storage::kQuerySize) {
        return Fail(kErrorInvalidParameter);
    }
    const storage::QueryRequest l_Request =
        storage::DecodeQuery(static_cast<const std::uint8_t*>(input), inputSize);
    if (l_Request.queryType != storage::kStandardQuery) {
        return Fail(kErrorNotSupported);
    }
    if (l_Request.propertyId == storage::kDeviceProperty) {
        // As the driver does, a short buffer receives the descriptor's beginning.
        if (out == nullptr || outputSize < 8) {
            return Fail(kErrorInsufficientBuffer);
        }
        std::uint8_t l_Descriptor[storage::kDeviceDescriptorSize];
        storage::EncodeDeviceDescriptor(l_Descriptor,
                                        nvme ? storage::kBusTypeNvme : storage::kBusTypeSata);
        bytesReturned = std::min<std::uint32_t>(outputSize, storage::kDeviceDescriptorSize);
        std::memcpy(out, l_Descriptor, bytesReturned);
        return 1;
    }
    if (l_Request.propertyId != storage::kDeviceProtocolSpecificProperty || !nvme ||
        l_Request.protocolType != storage::kProtocolTypeNvme ||
        l_Request.dataType != storage::kNvmeDataTypeLogPage ||
        l_Request.requestValue != storage::kHealthLogPage || l_Request.requestSubValue != 0) {
        return Fail(kErrorNotSupported);
    }
    if (l_Request.dataOffset < storage::kProtocolDataSize ||
        l_Request.dataLength < storage::kHealthPageSize) {
        return Fail(kErrorInvalidParameter);
    }
    if (out == nullptr || outputSize < storage::kHealthAnswerSize) {
        return Fail(kErrorInsufficientBuffer);
    }
    std::uint8_t l_Page[storage::kHealthPageSize];
    if (!ReadPadded(file, l_Page, sizeof(l_Page))) {
        return Fail(kErrorFileNotFound);
    }
    std::memset(out, 0, outputSize);
    storage::EncodeHealthAnswer(out, l_Page);
    bytesReturned = storage::kHealthAnswerSize;
    return 1;
}

}  // namespace

SmartFolder::SmartFolder(std::string folder) : m_strFolder(std::move(folder)) {}

DiskDevice::Handle SmartFolder::Open(const std::wstring& path)
{
    const long l_nDrive = DriveNumber(path);
    if (m_strFolder.empty() || l_nDrive < 0) {
        SetLastErrorCode(kErrorFileNotFound);
        return platform::kInvalidHandle;
    }
    const std::string l_strBase = m_strFolder + "/PhysicalDrive" + std::to_string(l_nDrive);
    std::string l_strFile = l_strBase + ".bin";
    if (!IsRegularFile(l_strFile)) {
        l_strFile = l_strBase + ".nvme";
        if (!IsRegularFile(l_strFile)) {
            SetLastErrorCode(kErrorFileNotFound);
            return platform::kInvalidHandle;
        }
    }
    std::lock_guard<std::mutex> l_Lock(m_Mutex);
    const Handle l_hDrive = m_nNextHandle++;
    m_OpenFiles.emplace(l_hDrive, l_strFile);
    return l_hDrive;
}

int SmartFolder::Control(Handle handle, std::uint32_t code, const void* input,
                         std::uint32_t inputSize, void* output, std::uint32_t outputSize,
                         std::uint32_t& bytesReturned)
{
    bytesReturned = 0;
    std::string l_strFile;
    {
        std::lock_guard<std::mutex> l_Lock(m_Mutex);
        const auto l_It = m_OpenFiles.find(handle);
        if (l_It == m_OpenFiles.end()) {
            return Fail(kErrorInvalidHandle);
        }
        l_strFile = l_It->second;
    }
    auto* l_pOut = static_cast<std::uint8_t*>(output);
    const bool l_bNvme = EndsWith(l_strFile, ".nvme");

    if (code == storage::kQueryProperty) {
        return AnswerQuery(l_strFile, l_bNvme, input, inputSize, l_pOut, outputSize, bytesReturned);
    }
    // The NVMe driver knows no S.M.A.R.T. control code.
    if (l_bNvme) {
        return Fail(kErrorNotSupported);
    }
    if (code == smart::kGetVersion) {
        if (l_pOut == nullptr || outputSize < smart::kVersionSize) {
            return Fail(kErrorInsufficientBuffer);
        }
        std::memset(l_pOut, 0, smart::kVersionSize);
        l_pOut[0] = 1;  // version
        l_pOut[1] = 1;  // revision
        l_pOut[3] = 1;  // device map: one device
        le::Store32(l_pOut + smart::kVersionCapabilitiesOffset, 1 | smart::kCapSmartCommands);
        bytesReturned = smart::kVersionSize;
        return 1;
    }
    if (code != smart::kSendDriveCommand && code != smart::kReceiveDriveData) {
        return Fail(kErrorNotSupported);
    }
    if (input == nullptr || inputSize < smart::kCommandInSize) {
        return Fail(kErrorInvalidParameter);
    }
    const smart::Command l_Command = smart::DecodeCommand(static_cast<const std::uint8_t*>(input));
    if (l_Command.command != smart::kSmartCommand || l_Command.cylinderLow != smart::kCylinderLow ||
        l_Command.cylinderHigh != smart::kCylinderHigh) {
        return Fail(kErrorInvalidParameter);
    }

    if (code == smart::kSendDriveCommand) {
        if (l_Command.features != smart::kFeatureEnable &&
            l_Command.features != smart::kFeatureAutoOffline) {
            return Fail(kErrorNotSupported);
        }
        if (l_pOut == nullptr || outputSize < smart::kCommandOutSize) {
            return Fail(kErrorInsufficientBuffer);
        }
        std::memset(l_pOut, 0, smart::kCommandOutSize);
        bytesReturned = smart::kCommandOutSize;
        return 1;
    }

    if (l_Command.features != smart::kFeatureReadAttributes) {
        return Fail(kErrorNotSupported);
    }
    if (l_pOut == nullptr || outputSize < smart::kReadOutSize) {
        return Fail(kErrorInsufficientBuffer);
    }
    std::ifstream l_Block(l_strFile, std::ios::binary);
    if (!l_Block) {
        return Fail(kErrorFileNotFound);
    }
    std::memset(l_pOut, 0, smart::kReadOutSize);
    le::Store32(l_pOut, smart::kAttributeBlockSize);
    l_Block.read(reinterpret_cast<char*>(l_pOut + smart::kOutDataOffset),
                 static_cast<std::streamsize>(smart::kAttributeBlockSize));
    bytesReturned = smart::kReadOutSize;
    return 1;
}

void SmartFolder::Close(Handle handle)
{
    std::lock_guard<std::mutex> l_Lock(m_Mutex);
    m_OpenFiles.erase(handle);
}

DiskDevice& DiskDevice::System()
{
    static SmartFolder s_NoDrives;
    return s_NoDrives;
}

}  // namespace platform
