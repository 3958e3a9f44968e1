#include "platform/registry.h"

#include <windows.h>

#include "platform/win32/unique_resource.h"

namespace platform {
namespace {

static_assert(sizeof(HKEY) == sizeof(RegKey));
static_assert(KEY_READ == kKeyRead && KEY_ALL_ACCESS == kKeyAllAccess);
static_assert(REG_NONE == kRegNone && REG_SZ == kRegSz && REG_EXPAND_SZ == kRegExpandSz &&
              REG_BINARY == kRegBinary && REG_DWORD == kRegDword && REG_MULTI_SZ == kRegMultiSz &&
              REG_QWORD == kRegQword);
static_assert(REG_CREATED_NEW_KEY == kRegCreatedNewKey &&
              REG_OPENED_EXISTING_KEY == kRegOpenedExistingKey);
// The predefined roots (HKEY_LOCAL_MACHINE, ...) are pointer constants, which no constant
// expression can read; the platform tests compare them with kRegRootNames at run time.
static_assert((TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY) == 0x28);

HKEY ToHkey(RegKey key)
{
    return reinterpret_cast<HKEY>(key);
}
RegKey FromHkey(HKEY key)
{
    return reinterpret_cast<RegKey>(key);
}

std::uint64_t FromFileTime(const FILETIME& time)
{
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

class Win32Registry final : public Registry {
public:
    std::int32_t ConnectRegistry(const wchar_t* computer, RegKey root, RegKey& result) override
    {
        HKEY connected = nullptr;
        const LONG status = RegConnectRegistryW(computer, ToHkey(root), &connected);
        result = FromHkey(connected);
        return status;
    }

    std::int32_t OpenKey(RegKey key, const wchar_t* subKey, std::uint32_t access,
                         RegKey& result) override
    {
        HKEY opened = nullptr;
        const LONG status = RegOpenKeyExW(ToHkey(key), subKey, 0, access, &opened);
        result = FromHkey(opened);
        return status;
    }

    std::int32_t CreateKey(RegKey key, const wchar_t* subKey, const wchar_t* keyClass,
                           std::uint32_t options, std::uint32_t access, void* securityAttributes,
                           RegKey& result, std::uint32_t* disposition) override
    {
        HKEY created = nullptr;
        DWORD createdDisposition = 0;
        const LONG status = RegCreateKeyExW(
            ToHkey(key), subKey, 0, const_cast<wchar_t*>(keyClass), options, access,
            static_cast<SECURITY_ATTRIBUTES*>(securityAttributes), &created, &createdDisposition);
        result = FromHkey(created);
        if (disposition != nullptr) {
            *disposition = createdDisposition;
        }
        return status;
    }

    std::int32_t CloseKey(RegKey key) override { return RegCloseKey(ToHkey(key)); }

    std::int32_t DeleteKey(RegKey key, const wchar_t* subKey) override
    {
        return RegDeleteKeyW(ToHkey(key), subKey);
    }

    std::int32_t DeleteValue(RegKey key, const wchar_t* name) override
    {
        return RegDeleteValueW(ToHkey(key), name);
    }

    std::int32_t EnumKey(RegKey key, std::uint32_t index, wchar_t* name, std::uint32_t& nameChars,
                         wchar_t* keyClass, std::uint32_t* classChars,
                         std::uint64_t* lastWriteTime) override
    {
        DWORD nameLength = nameChars;
        DWORD classLength = classChars != nullptr ? *classChars : 0;
        FILETIME written{};
        const LONG status = RegEnumKeyExW(ToHkey(key), index, name, &nameLength, nullptr, keyClass,
                                          classChars != nullptr ? &classLength : nullptr, &written);
        nameChars = nameLength;
        if (classChars != nullptr) {
            *classChars = classLength;
        }
        if (lastWriteTime != nullptr) {
            *lastWriteTime = FromFileTime(written);
        }
        return status;
    }

    std::int32_t EnumValue(RegKey key, std::uint32_t index, wchar_t* name, std::uint32_t& nameChars,
                           std::uint32_t* type, void* data, std::uint32_t* dataBytes) override
    {
        DWORD nameLength = nameChars;
        DWORD valueType = type != nullptr ? *type : 0;
        DWORD size = dataBytes != nullptr ? *dataBytes : 0;
        const LONG status = RegEnumValueW(
            ToHkey(key), index, name, &nameLength, nullptr, type != nullptr ? &valueType : nullptr,
            static_cast<BYTE*>(data), dataBytes != nullptr ? &size : nullptr);
        nameChars = nameLength;
        if (type != nullptr) {
            *type = valueType;
        }
        if (dataBytes != nullptr) {
            *dataBytes = size;
        }
        return status;
    }

    std::int32_t FlushKey(RegKey key) override { return RegFlushKey(ToHkey(key)); }

    std::int32_t QueryInfoKey(RegKey key, wchar_t* keyClass, std::uint32_t* classChars,
                              RegKeyInfo& info) override
    {
        DWORD classLength = classChars != nullptr ? *classChars : 0;
        DWORD subKeys = 0, maxSubKeyLen = 0, maxClassLen = 0, values = 0, maxValueNameLen = 0,
              maxValueLen = 0, securityLen = 0;
        FILETIME written{};
        const LONG status =
            RegQueryInfoKeyW(ToHkey(key), keyClass, classChars != nullptr ? &classLength : nullptr,
                             nullptr, &subKeys, &maxSubKeyLen, &maxClassLen, &values,
                             &maxValueNameLen, &maxValueLen, &securityLen, &written);
        if (classChars != nullptr) {
            *classChars = classLength;
        }
        info.subKeys = subKeys;
        info.maxSubKeyLen = maxSubKeyLen;
        info.maxClassLen = maxClassLen;
        info.values = values;
        info.maxValueNameLen = maxValueNameLen;
        info.maxValueLen = maxValueLen;
        info.securityDescriptorLen = securityLen;
        info.lastWriteTime = FromFileTime(written);
        return status;
    }

    std::int32_t QueryValue(RegKey key, const wchar_t* name, std::uint32_t* type, void* data,
                            std::uint32_t* dataBytes) override
    {
        DWORD valueType = type != nullptr ? *type : 0;
        DWORD size = dataBytes != nullptr ? *dataBytes : 0;
        const LONG status =
            RegQueryValueExW(ToHkey(key), name, nullptr, type != nullptr ? &valueType : nullptr,
                             static_cast<BYTE*>(data), dataBytes != nullptr ? &size : nullptr);
        if (type != nullptr) {
            *type = valueType;
        }
        if (dataBytes != nullptr) {
            *dataBytes = size;
        }
        return status;
    }

    std::int32_t SetValue(RegKey key, const wchar_t* name, std::uint32_t type, const void* data,
                          std::uint32_t dataBytes) override
    {
        return RegSetValueExW(ToHkey(key), name, 0, type, static_cast<const BYTE*>(data),
                              dataBytes);
    }

    std::int32_t GetKeySecurity(RegKey key, std::uint32_t information, void* descriptor,
                                std::uint32_t& descriptorBytes) override
    {
        DWORD size = descriptorBytes;
        const LONG status = RegGetKeySecurity(ToHkey(key), information,
                                              static_cast<PSECURITY_DESCRIPTOR>(descriptor), &size);
        descriptorBytes = size;
        return status;
    }

    std::int32_t SetKeySecurity(RegKey key, std::uint32_t information, void* descriptor) override
    {
        return RegSetKeySecurity(ToHkey(key), information,
                                 static_cast<PSECURITY_DESCRIPTOR>(descriptor));
    }

    std::int32_t LoadKey(RegKey key, const wchar_t* subKey, const wchar_t* file) override
    {
        return RegLoadKeyW(ToHkey(key), subKey, file);
    }

    std::int32_t UnLoadKey(RegKey key, const wchar_t* subKey) override
    {
        return RegUnLoadKeyW(ToHkey(key), subKey);
    }

    std::int32_t ReplaceKey(RegKey key, const wchar_t* subKey, const wchar_t* newFile,
                            const wchar_t* oldFile) override
    {
        return RegReplaceKeyW(ToHkey(key), subKey, newFile, oldFile);
    }

    std::int32_t RestoreKey(RegKey key, const wchar_t* file, std::uint32_t flags) override
    {
        return RegRestoreKeyW(ToHkey(key), file, flags);
    }

    std::int32_t SaveKey(RegKey key, const wchar_t* file, void* securityAttributes) override
    {
        return RegSaveKeyW(ToHkey(key), file,
                           static_cast<SECURITY_ATTRIBUTES*>(securityAttributes));
    }

    std::int32_t NotifyChangeKeyValue(RegKey key, bool watchSubtree, std::uint32_t filter,
                                      std::uintptr_t event, bool asynchronous) override
    {
        return RegNotifyChangeKeyValue(ToHkey(key), watchSubtree ? TRUE : FALSE, filter,
                                       reinterpret_cast<HANDLE>(event),
                                       asynchronous ? TRUE : FALSE);
    }

    std::int32_t EnablePrivilege(const wchar_t* privilege) override
    {
        win32::UniqueHandle token;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY,
                              token.Put())) {
            return static_cast<std::int32_t>(GetLastError());
        }
        TOKEN_PRIVILEGES privileges{};
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        std::int32_t status = 0;
        if (!LookupPrivilegeValueW(nullptr, privilege, &privileges.Privileges[0].Luid) ||
            !AdjustTokenPrivileges(token.Get(), FALSE, &privileges, 0, nullptr, nullptr)) {
            status = static_cast<std::int32_t>(GetLastError());
        }
        return status;
    }

    std::wstring ComputerName() override
    {
        wchar_t name[MAX_PATH] = {};
        DWORD length = MAX_PATH;
        if (!GetComputerNameW(name, &length)) {
            return std::wstring();
        }
        return std::wstring(name, length);
    }
};

}  // namespace

Registry& Registry::System()
{
    static Win32Registry registry;
    return registry;
}

}  // namespace platform
