#include "platform/posix/smart_folder.h"

#include "platform/ata_pass_through.h"
#include "platform/last_error.h"
#include "platform/posix/account_list.h"
#include "platform/posix/smart_folder_answers.h"
#include "platform/smart_ioctl.h"
#include "platform/storage_query.h"
#include "platform/volume_extents.h"

#include <cwctype>

namespace platform {

namespace {

using smart_folder::Fail;

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

// "\\.\X:" with X a letter.
bool IsVolumePath(const std::wstring& path)
{
    return path.size() == 6 && path.compare(0, 4, L"\\\\.\\") == 0 &&
           std::iswalpha(static_cast<wint_t>(path[4])) && path[5] == L':';
}

}  // namespace

SmartFolder::SmartFolder(std::string folder, bool needsAdministrator)
    : m_strFolder(std::move(folder)), m_bNeedsAdministrator(needsAdministrator)
{
}

DiskDevice::Handle SmartFolder::Add(OpenFile file)
{
    std::lock_guard<std::mutex> l_Lock(m_Mutex);
    const Handle l_hDrive = m_nNextHandle++;
    m_OpenFiles.emplace(l_hDrive, std::move(file));
    return l_hDrive;
}

DiskDevice::Handle SmartFolder::OpenForQuery(const std::wstring& path)
{
    if (!m_strFolder.empty() && IsVolumePath(path)) {
        OpenFile l_Volume;
        l_Volume.base = m_strFolder;
        l_Volume.volume = true;
        l_Volume.queryOnly = true;
        return Add(std::move(l_Volume));
    }
    const long l_nDrive = DriveNumber(path);
    if (m_strFolder.empty() || l_nDrive < 0) {
        SetLastErrorCode(kErrorFileNotFound);
        return platform::kInvalidHandle;
    }
    OpenFile l_Drive;
    l_Drive.base = m_strFolder + "/PhysicalDrive" + std::to_string(l_nDrive);
    l_Drive.queryOnly = true;
    if (!smart_folder::IsRegularFile(l_Drive.base + ".bin")) {
        l_Drive.nvme = true;
        if (!smart_folder::IsRegularFile(l_Drive.base + ".nvme")) {
            SetLastErrorCode(kErrorFileNotFound);
            return platform::kInvalidHandle;
        }
    }
    return Add(std::move(l_Drive));
}

DiskDevice::Handle SmartFolder::Open(const std::wstring& path)
{
    if (IsVolumePath(path)) {
        // Reading and writing a volume needs rights the monitor never asks for.
        SetLastErrorCode(kErrorAccessDenied);
        return platform::kInvalidHandle;
    }
    const Handle l_hDrive = OpenForQuery(path);
    if (l_hDrive == platform::kInvalidHandle) {
        return l_hDrive;
    }
    if (m_bNeedsAdministrator && AccountList::CurrentAccount().empty()) {
        Close(l_hDrive);
        SetLastErrorCode(kErrorAccessDenied);
        return platform::kInvalidHandle;
    }
    std::lock_guard<std::mutex> l_Lock(m_Mutex);
    m_OpenFiles[l_hDrive].queryOnly = false;
    return l_hDrive;
}

int SmartFolder::Control(Handle handle, std::uint32_t code, const void* input,
                         std::uint32_t inputSize, void* output, std::uint32_t outputSize,
                         std::uint32_t& bytesReturned)
{
    bytesReturned = 0;
    OpenFile l_File;
    {
        std::lock_guard<std::mutex> l_Lock(m_Mutex);
        const auto l_It = m_OpenFiles.find(handle);
        if (l_It == m_OpenFiles.end()) {
            return Fail(kErrorInvalidHandle);
        }
        l_File = l_It->second;
    }
    const smart_folder::Call l_Call{static_cast<const std::uint8_t*>(input), inputSize,
                                    static_cast<std::uint8_t*>(output), outputSize, bytesReturned};
    if (l_File.volume) {
        return code == volume::kGetDiskExtents
                   ? smart_folder::AnswerVolumeExtents(l_File.base, l_Call)
                   : Fail(kErrorNotSupported);
    }
    if (code == storage::kQueryProperty) {
        return smart_folder::AnswerQuery(l_File, l_Call);
    }
    if (code == storage::kPredictFailure) {
        return smart_folder::AnswerPredictFailure(l_File, l_Call);
    }
    if (l_File.queryOnly) {
        return Fail(kErrorAccessDenied);
    }
    // The NVMe driver knows no S.M.A.R.T. control code and no ATA pass-through.
    if (l_File.nvme) {
        return Fail(kErrorNotSupported);
    }
    if (code == ata::kPassThrough) {
        return smart_folder::AnswerPassThrough(l_File, l_Call);
    }
    return smart_folder::AnswerSmart(l_File, code, l_Call);
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
