#include "platform/posix/smart_folder.h"

#include <sys/stat.h>

#include <cstring>
#include <fstream>

#include "platform/posix/account_list.h"

namespace platform {

namespace {

bool IsRegularFile(const std::string& file)
{
    struct stat l_Stat {};
    return stat(file.c_str(), &l_Stat) == 0 && S_ISREG(l_Stat.st_mode);
}

// The file's first bytes into `out`, the rest zero; false when it cannot be read.
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

// The file's lines, without a carriage return at their ends.
std::vector<std::string> Lines(const std::string& file)
{
    std::ifstream l_File(file, std::ios::binary);
    std::vector<std::string> l_Lines;
    std::string l_strLine;
    while (std::getline(l_File, l_strLine)) {
        if (!l_strLine.empty() && l_strLine.back() == '\r') {
            l_strLine.pop_back();
        }
        l_Lines.push_back(l_strLine);
    }
    return l_Lines;
}

}  // namespace

SmartFolder::SmartFolder(std::string folder, bool needsAdministrator)
    : m_strFolder(std::move(folder)), m_bNeedsAdministrator(needsAdministrator)
{
}

std::optional<DriveModel> SmartFolder::Find(std::uint32_t drive)
{
    if (m_strFolder.empty()) {
        return std::nullopt;
    }
    const std::string l_strBase = m_strFolder + "/PhysicalDrive" + std::to_string(drive);
    DriveModel l_Drive;
    if (IsRegularFile(l_strBase + ".bin")) {
        if (!ReadPadded(l_strBase + ".bin", l_Drive.attributes.data(), l_Drive.attributes.size())) {
            return std::nullopt;
        }
        DriveModel::Block l_Thresholds{};
        if (ReadPadded(l_strBase + ".thr", l_Thresholds.data(), l_Thresholds.size())) {
            l_Drive.thresholds = l_Thresholds;
        }
        l_Drive.failing = IsRegularFile(l_strBase + ".failing");
        std::ifstream l_Log(l_strBase + ".devstat", std::ios::binary);
        l_Drive.deviceStatistics.assign(std::istreambuf_iterator<char>(l_Log),
                                        std::istreambuf_iterator<char>());
        // A log whose last page is cut short reads as that page padded with zeros, as the other
        // files do; only pages wholly beyond the file are missing.
        const std::size_t l_nPage = DiskDevice::kSectorSize;
        l_Drive.deviceStatistics.resize((l_Drive.deviceStatistics.size() + l_nPage - 1) / l_nPage *
                                        l_nPage);
    } else if (IsRegularFile(l_strBase + ".nvme")) {
        l_Drive.nvme = true;
        if (!ReadPadded(l_strBase + ".nvme", l_Drive.healthPage.data(),
                        l_Drive.healthPage.size())) {
            return std::nullopt;
        }
    } else {
        return std::nullopt;
    }
    const std::vector<std::string> l_Ident = Lines(l_strBase + ".ident");
    if (!l_Ident.empty()) {
        l_Drive.product = l_Ident[0];
    }
    if (l_Ident.size() > 1) {
        l_Drive.serial = l_Ident[1];
    }
    for (const std::string& l_strFlag : Lines(l_strBase + ".behaviour")) {
        l_Drive.behaviour.Set(l_strFlag);
    }
    return l_Drive;
}

std::optional<std::vector<std::uint32_t>> SmartFolder::Volume()
{
    if (m_strFolder.empty()) {
        return std::nullopt;
    }
    std::ifstream l_File(m_strFolder + "/SystemDrive", std::ios::binary);
    std::vector<std::uint32_t> l_Disks;
    unsigned long l_nDisk = 0;
    while (l_File >> l_nDisk) {
        l_Disks.push_back(static_cast<std::uint32_t>(l_nDisk));
    }
    return l_Disks;
}

bool SmartFolder::HasAdministratorRights()
{
    return !m_bNeedsAdministrator || !AccountList::CurrentAccount().empty();
}

DiskDevice& DiskDevice::System()
{
    static SmartFolder s_NoDrives;
    return s_NoDrives;
}

}  // namespace platform
