#include "machine_substitutes.h"

#include <sys/stat.h>

#include <fstream>
#include <iostream>
#include <new>
#include <optional>

#include "platform/disk_device.h"
#include "platform/event_log.h"
#include "platform/file_system.h"
#include "platform/logon.h"
#include "standins/memory_event_log.h"
#include "standins/memory_registry.h"
#include "platform/posix/account_list.h"
#include "platform/posix/native_path_posix.h"
#include "platform/posix/smart_folder.h"
#include "standins/reg_file.h"
#include "platform/registry.h"
#include "platform/seam.h"
#include "settings/settings.h"

namespace host {
namespace {

// Names the add-on's own settings file for the life of the run, used as given (a folder or file
// name with ".dll" or ".exe" in it included).
class ModuleIniChoice {
public:
    explicit ModuleIniChoice(const std::wstring& p_strModuleIni)
    {
        // A run with another settings file than the one named would check the wrong settings.
        if (!UseModuleIniPath(p_strModuleIni)) {
            throw std::bad_alloc();
        }
    }
    ~ModuleIniChoice() { UseModuleIniPath(std::wstring()); }
    ModuleIniChoice(const ModuleIniChoice&) = delete;
    ModuleIniChoice& operator=(const ModuleIniChoice&) = delete;
};

bool IsReadableFile(const std::string& p_strPath)
{
    struct stat l_Stat {};
    return stat(p_strPath.c_str(), &l_Stat) == 0 && S_ISREG(l_Stat.st_mode) &&
           std::ifstream(p_strPath, std::ios::binary).good();
}

bool IsFolder(const std::string& p_strPath)
{
    struct stat l_Stat {};
    return stat(p_strPath.c_str(), &l_Stat) == 0 && S_ISDIR(l_Stat.st_mode);
}

// Every stand-in lives as long as this object; a family without its option keeps the posix
// default (an empty registry and event log, no drives, no account that can log on).
class PosixMachine : public MachineSubstitutes {
public:
    explicit PosixMachine(const std::wstring& p_strModuleIni) : m_ModuleIni(p_strModuleIni) {}

    bool LoadRegistry(const std::string& p_strFile, std::string& p_strError)
    {
        if (!IsReadableFile(p_strFile)) {
            p_strError = "cannot read the registry file " + p_strFile;
            return false;
        }
        // Lines that cannot be applied are skipped, as the registry editor skips them.
        if (!platform::ImportRegFile(m_Registry, p_strFile)) {
            std::cerr << "vexa-host: " << p_strFile << ": some lines were not applied\n";
        }
        m_RegistrySubstitute.emplace(m_Registry);
        return true;
    }

    // A missing file is a log that cannot be opened, as an Application log without access.
    void LoadEventLog(const std::string& p_strFile)
    {
        const bool l_bReadable = IsReadableFile(p_strFile);
        if (!platform::LoadEventLogFile(m_EventLog, p_strFile) && l_bReadable) {
            std::cerr << "vexa-host: " << p_strFile << ": malformed records were skipped\n";
        }
        m_EventLogSubstitute.emplace(m_EventLog);
    }

    bool UseSmartFolder(const std::string& p_strFolder, bool p_bNoAdmin, std::string& p_strError)
    {
        if (!IsFolder(p_strFolder)) {
            p_strError = "not a folder: " + p_strFolder;
            return false;
        }
        m_pDrives.emplace(p_strFolder, p_bNoAdmin);
        m_DrivesSubstitute.emplace(*m_pDrives);
        return true;
    }

    bool LoadAccounts(const std::string& p_strFile, std::string& p_strError)
    {
        if (!IsReadableFile(p_strFile) || !m_Accounts.LoadFile(p_strFile)) {
            p_strError = "cannot read the accounts file " + p_strFile;
            return false;
        }
        m_AccountsSubstitute.emplace(m_Accounts);
        return true;
    }

private:
    // Members go in reverse order: each substitute is removed before the stand-in it names.
    ModuleIniChoice m_ModuleIni;
    platform::MemoryRegistry m_Registry;
    std::optional<platform::Substitute<platform::Registry>> m_RegistrySubstitute;
    platform::MemoryEventLog m_EventLog;
    std::optional<platform::Substitute<platform::EventLog>> m_EventLogSubstitute;
    std::optional<platform::SmartFolder> m_pDrives;
    std::optional<platform::Substitute<platform::DiskDevice>> m_DrivesSubstitute;
    platform::AccountList m_Accounts;
    std::optional<platform::Substitute<platform::Logon>> m_AccountsSubstitute;
};

}  // namespace

std::unique_ptr<MachineSubstitutes> MachineSubstitutes::Install(const HostOptions& p_Options,
                                                                std::string& p_strError)
{
    std::wstring l_strModuleIni;
    if (p_Options.m_ModuleIni) {
        if (!IsReadableFile(*p_Options.m_ModuleIni)) {
            p_strError = "cannot read the settings file " + *p_Options.m_ModuleIni;
            return nullptr;
        }
        l_strModuleIni = platform::posix::FromNative(*p_Options.m_ModuleIni);
    } else {
        l_strModuleIni = platform::FileSystem::System().ModulePath(4096);
        if (l_strModuleIni.empty()) {
            p_strError = "cannot find the executable's own path";
            return nullptr;
        }
        l_strModuleIni += L".ini";
    }
    auto l_pMachine = std::make_unique<PosixMachine>(l_strModuleIni);
    if (p_Options.m_Registry && !l_pMachine->LoadRegistry(*p_Options.m_Registry, p_strError)) {
        return nullptr;
    }
    if (p_Options.m_EventLog) {
        l_pMachine->LoadEventLog(*p_Options.m_EventLog);
    }
    if (p_Options.m_SmartDir &&
        !l_pMachine->UseSmartFolder(*p_Options.m_SmartDir, p_Options.m_bNoAdmin, p_strError)) {
        return nullptr;
    }
    if (p_Options.m_Accounts && !l_pMachine->LoadAccounts(*p_Options.m_Accounts, p_strError)) {
        return nullptr;
    }
    return l_pMachine;
}

}  // namespace host
