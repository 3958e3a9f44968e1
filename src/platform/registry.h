#pragma once

#include <cstdint>
#include <string>

#include "platform/last_error.h"

namespace platform {

// A registry key handle with the value an HKEY has on Windows (predefined roots included).
using RegKey = std::uintptr_t;

// The predefined roots: (HKEY)(ULONG_PTR)(LONG)0x8000000n, sign-extended as on 64-bit Windows.
constexpr RegKey PredefinedRegKey(std::int32_t value)
{
    return static_cast<RegKey>(static_cast<std::intptr_t>(value));
}
inline constexpr RegKey kHkeyClassesRoot = PredefinedRegKey(static_cast<std::int32_t>(0x80000000u));
inline constexpr RegKey kHkeyCurrentUser = PredefinedRegKey(static_cast<std::int32_t>(0x80000001u));
inline constexpr RegKey kHkeyLocalMachine =
    PredefinedRegKey(static_cast<std::int32_t>(0x80000002u));
inline constexpr RegKey kHkeyUsers = PredefinedRegKey(static_cast<std::int32_t>(0x80000003u));
inline constexpr RegKey kHkeyPerformanceData =
    PredefinedRegKey(static_cast<std::int32_t>(0x80000004u));
inline constexpr RegKey kHkeyCurrentConfig =
    PredefinedRegKey(static_cast<std::int32_t>(0x80000005u));
inline constexpr RegKey kHkeyDynData = PredefinedRegKey(static_cast<std::int32_t>(0x80000006u));

// The predefined roots' names. The registry editor's files name a root by either form, and only
// the roots that have a short form.
struct RegRootName {
    RegKey key;
    const wchar_t* name;
    const wchar_t* shortName;  // null where the registry editor has none
};
inline constexpr RegRootName kRegRootNames[] = {
    {kHkeyClassesRoot, L"HKEY_CLASSES_ROOT", L"HKCR"},
    {kHkeyCurrentUser, L"HKEY_CURRENT_USER", L"HKCU"},
    {kHkeyLocalMachine, L"HKEY_LOCAL_MACHINE", L"HKLM"},
    {kHkeyUsers, L"HKEY_USERS", L"HKU"},
    {kHkeyPerformanceData, L"HKEY_PERFORMANCE_DATA", nullptr},
    {kHkeyCurrentConfig, L"HKEY_CURRENT_CONFIG", L"HKCC"},
    {kHkeyDynData, L"HKEY_DYN_DATA", nullptr},
};

// Value types.
inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;
inline constexpr std::uint32_t kRegQword = 11;

// Access masks and dispositions.
inline constexpr std::uint32_t kKeyRead = 0x20019;
inline constexpr std::uint32_t kKeyAllAccess = 0xF003F;
inline constexpr std::uint32_t kRegCreatedNewKey = 1;
inline constexpr std::uint32_t kRegOpenedExistingKey = 2;

// A Windows error code (last_error.h) as the registry functions return it (LONG).
constexpr std::int32_t RegStatus(unsigned long errorCode)
{
    return static_cast<std::int32_t>(errorCode);
}

// Sizes in characters exclude the terminator on output and include it on input, as the Reg*
// functions count them. String values (REG_SZ, REG_MULTI_SZ, ...) are UTF-16LE bytes on both
// platforms, so a value reads back byte for byte the same everywhere.
struct RegKeyInfo {
    std::uint32_t subKeys = 0;
    std::uint32_t maxSubKeyLen = 0;
    std::uint32_t maxClassLen = 0;
    std::uint32_t values = 0;
    std::uint32_t maxValueNameLen = 0;
    std::uint32_t maxValueLen = 0;
    std::uint32_t securityDescriptorLen = 0;
    std::uint64_t lastWriteTime = 0;  // FILETIME: 100 ns since 1601
};

// The registry functions (RegConnectRegistryW, RegOpenKeyExW, ...), each returning the Win32
// error code of the call (0 = success). The posix substitute is an in-memory registry; functions
// that have no meaning there (hives, security, notification, privileges) return
// ERROR_NOT_SUPPORTED.
class Registry {
public:
    virtual ~Registry() = default;

    virtual std::int32_t ConnectRegistry(const wchar_t* computer, RegKey root, RegKey& result) = 0;
    virtual std::int32_t OpenKey(RegKey key, const wchar_t* subKey, std::uint32_t access,
                                 RegKey& result) = 0;
    virtual std::int32_t CreateKey(RegKey key, const wchar_t* subKey, const wchar_t* keyClass,
                                   std::uint32_t options, std::uint32_t access,
                                   void* securityAttributes, RegKey& result,
                                   std::uint32_t* disposition) = 0;
    virtual std::int32_t CloseKey(RegKey key) = 0;
    // Deletes a key without subkeys (ERROR_ACCESS_DENIED when it has some).
    virtual std::int32_t DeleteKey(RegKey key, const wchar_t* subKey) = 0;
    virtual std::int32_t DeleteValue(RegKey key, const wchar_t* name) = 0;
    virtual std::int32_t EnumKey(RegKey key, std::uint32_t index, wchar_t* name,
                                 std::uint32_t& nameChars, wchar_t* keyClass,
                                 std::uint32_t* classChars, std::uint64_t* lastWriteTime) = 0;
    virtual std::int32_t EnumValue(RegKey key, std::uint32_t index, wchar_t* name,
                                   std::uint32_t& nameChars, std::uint32_t* type, void* data,
                                   std::uint32_t* dataBytes) = 0;
    virtual std::int32_t FlushKey(RegKey key) = 0;
    virtual std::int32_t QueryInfoKey(RegKey key, wchar_t* keyClass, std::uint32_t* classChars,
                                      RegKeyInfo& info) = 0;
    // Without `data` only the size is reported; a buffer too small gives ERROR_MORE_DATA and the
    // needed size.
    virtual std::int32_t QueryValue(RegKey key, const wchar_t* name, std::uint32_t* type,
                                    void* data, std::uint32_t* dataBytes) = 0;
    virtual std::int32_t SetValue(RegKey key, const wchar_t* name, std::uint32_t type,
                                  const void* data, std::uint32_t dataBytes) = 0;

    virtual std::int32_t GetKeySecurity(RegKey key, std::uint32_t information, void* descriptor,
                                        std::uint32_t& descriptorBytes) = 0;
    virtual std::int32_t SetKeySecurity(RegKey key, std::uint32_t information,
                                        void* descriptor) = 0;
    virtual std::int32_t LoadKey(RegKey key, const wchar_t* subKey, const wchar_t* file) = 0;
    virtual std::int32_t UnLoadKey(RegKey key, const wchar_t* subKey) = 0;
    virtual std::int32_t ReplaceKey(RegKey key, const wchar_t* subKey, const wchar_t* newFile,
                                    const wchar_t* oldFile) = 0;
    virtual std::int32_t RestoreKey(RegKey key, const wchar_t* file, std::uint32_t flags) = 0;
    virtual std::int32_t SaveKey(RegKey key, const wchar_t* file, void* securityAttributes) = 0;
    virtual std::int32_t NotifyChangeKeyValue(RegKey key, bool watchSubtree, std::uint32_t filter,
                                              std::uintptr_t event, bool asynchronous) = 0;

    // Enables one privilege ("SeBackupPrivilege", ...) in the process token: open the token for
    // privilege adjustment and query, look the privilege up on the local system, adjust.
    virtual std::int32_t EnablePrivilege(const wchar_t* privilege) = 0;

    // The local computer's name (GetComputerNameW, 260 characters); empty if it cannot be read.
    virtual std::wstring ComputerName() = 0;

    static Registry& System();
};

}  // namespace platform
