#include "platform/file_system.h"

#include <windows.h>

#include <vector>

namespace platform {
namespace {

class FindHandle {
public:
    explicit FindHandle(HANDLE handle) : m_hFind(handle) {}
    ~FindHandle()
    {
        if (m_hFind != INVALID_HANDLE_VALUE) {
            FindClose(m_hFind);
        }
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    bool Valid() const { return m_hFind != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_hFind;
};

// Any address inside this module identifies it: the DLL when the monitor runs in the HMI
// runtime, the executable when it is linked into a tool or test.
HMODULE ThisModule()
{
    static const int s_anchor = 0;
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            reinterpret_cast<LPCWSTR>(&s_anchor), &module)) {
        return nullptr;
    }
    return module;
}

class Win32FileSystem final : public FileSystem {
public:
    std::wstring ModulePath(std::size_t maxChars) override
    {
        HMODULE module = ThisModule();
        if (module == nullptr || maxChars == 0) {
            return {};
        }
        std::vector<wchar_t> buffer(maxChars + 1, L'\0');
        const DWORD length =
            GetModuleFileNameW(module, buffer.data(), static_cast<DWORD>(buffer.size()));
        return std::wstring(buffer.data(), length < buffer.size() ? length : maxChars);
    }

    bool FindEntry(const std::wstring& path) override
    {
        WIN32_FIND_DATAW data{};
        const FindHandle find(FindFirstFileW(path.c_str(), &data));
        return find.Valid();
    }

    bool DriveReady(const std::wstring& root) override
    {
        const UINT type = GetDriveTypeW(root.c_str());
        if (type == DRIVE_UNKNOWN || type == DRIVE_NO_ROOT_DIR) {
            return false;
        }
        DWORD sectorsPerCluster = 0;
        DWORD bytesPerSector = 0;
        DWORD freeClusters = 0;
        DWORD totalClusters = 0;
        return GetDiskFreeSpaceW(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters,
                                 &totalClusters) &&
               totalClusters > 0;
    }
};

}  // namespace

FileSystem& FileSystem::System()
{
    static Win32FileSystem s_fileSystem;
    return s_fileSystem;
}

}  // namespace platform
