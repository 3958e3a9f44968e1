#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/registry.h"

namespace platform {

// An in-memory registry with the results of the Reg* functions: key and value names without
// case, subkeys enumerated in name order and values in creation order, ERROR_MORE_DATA with the
// needed size for short buffers, ERROR_ACCESS_DENIED for deleting a key that has subkeys,
// ERROR_KEY_DELETED for handles of deleted keys. Hives, security, notification and privileges
// have no meaning here and return ERROR_NOT_SUPPORTED. Thread-safe.
class MemoryRegistry final : public Registry {
public:
    MemoryRegistry();
    ~MemoryRegistry() override;

    std::int32_t ConnectRegistry(const wchar_t* computer, RegKey root, RegKey& result) override;
    std::int32_t OpenKey(RegKey key, const wchar_t* subKey, std::uint32_t access,
                         RegKey& result) override;
    std::int32_t CreateKey(RegKey key, const wchar_t* subKey, const wchar_t* keyClass,
                           std::uint32_t options, std::uint32_t access, void* securityAttributes,
                           RegKey& result, std::uint32_t* disposition) override;
    std::int32_t CloseKey(RegKey key) override;
    std::int32_t DeleteKey(RegKey key, const wchar_t* subKey) override;
    std::int32_t DeleteValue(RegKey key, const wchar_t* name) override;
    std::int32_t EnumKey(RegKey key, std::uint32_t index, wchar_t* name, std::uint32_t& nameChars,
                         wchar_t* keyClass, std::uint32_t* classChars,
                         std::uint64_t* lastWriteTime) override;
    std::int32_t EnumValue(RegKey key, std::uint32_t index, wchar_t* name, std::uint32_t& nameChars,
                           std::uint32_t* type, void* data, std::uint32_t* dataBytes) override;
    std::int32_t FlushKey(RegKey key) override;
    std::int32_t QueryInfoKey(RegKey key, wchar_t* keyClass, std::uint32_t* classChars,
                              RegKeyInfo& info) override;
    std::int32_t QueryValue(RegKey key, const wchar_t* name, std::uint32_t* type, void* data,
                            std::uint32_t* dataBytes) override;
    std::int32_t SetValue(RegKey key, const wchar_t* name, std::uint32_t type, const void* data,
                          std::uint32_t dataBytes) override;
    std::int32_t GetKeySecurity(RegKey key, std::uint32_t information, void* descriptor,
                                std::uint32_t& descriptorBytes) override;
    std::int32_t SetKeySecurity(RegKey key, std::uint32_t information, void* descriptor) override;
    std::int32_t LoadKey(RegKey key, const wchar_t* subKey, const wchar_t* file) override;
    std::int32_t UnLoadKey(RegKey key, const wchar_t* subKey) override;
    std::int32_t ReplaceKey(RegKey key, const wchar_t* subKey, const wchar_t* newFile,
                            const wchar_t* oldFile) override;
    std::int32_t RestoreKey(RegKey key, const wchar_t* file, std::uint32_t flags) override;
    std::int32_t SaveKey(RegKey key, const wchar_t* file, void* securityAttributes) override;
    std::int32_t NotifyChangeKeyValue(RegKey key, bool watchSubtree, std::uint32_t filter,
                                      std::uintptr_t event, bool asynchronous) override;
    std::int32_t EnablePrivilege(const wchar_t* privilege) override;
    std::wstring ComputerName() override;

    // Number of handles opened and not yet closed (predefined roots are not counted).
    std::size_t OpenHandleCount() const;

    struct Node;

private:
    std::int32_t Resolve(RegKey key, std::shared_ptr<Node>& node) const;
    // The existing key `subKey` below `key` (empty: `key` itself); the caller holds the lock.
    std::int32_t FindKey(RegKey key, const std::wstring& subKey, std::shared_ptr<Node>& node) const;
    RegKey NewHandle(const std::shared_ptr<Node>& node);

    mutable std::mutex m_mutex;
    std::map<RegKey, std::shared_ptr<Node>> m_roots;
    std::map<RegKey, std::shared_ptr<Node>> m_handles;
    RegKey m_nextHandle = 0x1000;
};

}  // namespace platform
