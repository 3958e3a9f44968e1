#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/registry.h"

// One connection to a registry root key and one open key under it. Every operation returns true
// exactly when the system call succeeded and stores the Win32 error code in m_lLastError either
// way; nothing is thrown out of the class (an allocation that fails is error 8). A missing name,
// file or data argument fails with 87 without calling the system. The object owns both handles and
// closes them when destroyed.
class CRegistry {
public:
    using RegKey = platform::RegKey;
    using ByteArray = std::vector<std::uint8_t>;
    using StringArray = std::vector<std::wstring>;

    CRegistry();
    virtual ~CRegistry();
    CRegistry(const CRegistry&) = delete;
    CRegistry& operator=(const CRegistry&) = delete;

    virtual bool Close();
    // Without a computer name (null or empty) the local machine.
    virtual bool ConnectRoot(RegKey root, const wchar_t* computer);
    virtual bool CreateKey(const wchar_t* subKey, const wchar_t* keyClass, std::uint32_t options,
                           std::uint32_t access, void* securityAttributes,
                           std::uint32_t* disposition);
    // Deletes a key with all its subkeys: a name without "\" below the open key, a path below
    // the root (its parent key stays open). An empty name and one that ends in "\" fail with 87.
    virtual bool DeleteKey(const wchar_t* path);
    virtual bool DeleteValue(const wchar_t* name);
    virtual bool EnumKey(std::uint32_t index, std::wstring& name, std::wstring& keyClass);
    virtual bool EnumValue(std::uint32_t index, std::wstring& name, std::uint32_t& type, void* data,
                           std::uint32_t& size);
    virtual bool Flush();
    virtual bool ReadBinary(const wchar_t* name, ByteArray& bytes);
    // The name getters give an empty text when there is no memory for the copy.
    virtual std::wstring GetKeyClass() const noexcept;
    virtual std::wstring GetComputer() const noexcept;
    virtual bool ReadDword(const wchar_t* name, std::uint32_t& value);
    virtual std::int32_t GetLastErrorCode() const;
    virtual std::wstring GetKeyName() const noexcept;
    virtual std::uint32_t GetSubKeyCount() const;
    virtual std::uint32_t GetValueCount() const;
    virtual std::wstring GetRootKeyName() const noexcept;
    virtual bool GetKeySecurity(std::uint32_t information, void* descriptor, std::uint32_t& size);
    virtual bool ReadString(const wchar_t* name, std::wstring& text);
    virtual bool ReadMultiString(const wchar_t* name, StringArray& strings);
    // Second forms: an empty name is a missing one.
    virtual bool ReadMultiString(const std::wstring& name, StringArray& strings);
    virtual bool ReadString(const std::wstring& name, std::wstring& text);
    virtual bool ReadDword(const std::wstring& name, std::uint32_t& value);
    virtual bool ReadBinary(const std::wstring& name, ByteArray& bytes);
    virtual bool LoadKey(const wchar_t* subKey, const wchar_t* file);
    virtual bool NotifyChange(std::uintptr_t event, std::uint32_t filter, bool watchSubtree,
                              bool asynchronous);
    virtual bool OpenKey(const wchar_t* subKey, std::uint32_t access);
    virtual bool QueryInfo();
    virtual bool QueryValue(const wchar_t* name, std::uint32_t& type, void* data,
                            std::uint32_t& size);
    virtual bool ReplaceKey(const wchar_t* subKey, const wchar_t* newFile, const wchar_t* oldFile);
    virtual bool RestoreKey(const wchar_t* file, std::uint32_t flags);
    virtual bool SaveKey(const wchar_t* file, void* securityAttributes);
    virtual bool WriteBinary(const wchar_t* name, const ByteArray& bytes);
    virtual bool WriteDword(const wchar_t* name, std::uint32_t value);
    virtual bool SetKeySecurity(std::uint32_t information, void* descriptor);
    virtual bool WriteString(const wchar_t* name, const wchar_t* text);
    virtual bool WriteMultiString(const wchar_t* name, const StringArray& strings);
    virtual bool WriteValue(const wchar_t* name, std::uint32_t type, const void* data,
                            std::uint32_t size);
    virtual bool WriteString(const std::wstring& name, const std::wstring& text);
    virtual bool WriteMultiString(const std::wstring& name, const StringArray& strings);
    virtual bool WriteDword(const std::wstring& name, std::uint32_t value);
    virtual bool WriteBinary(const std::wstring& name, const ByteArray& bytes);
    virtual bool UnLoadKey(const wchar_t* subKey);

    // The predefined root for its exact (case-sensitive) name, 0 for any other text.
    static RegKey GetRootKeyHandle(const std::wstring& name);

private:
    void Reset();
    bool Record(std::int32_t status);
    // Records a failure found without calling the system (false).
    bool Refuse(unsigned long errorCode);
    template <typename Operation>
    bool Guard(Operation&& operation);

    RegKey m_hKey = 0;
    RegKey m_hRootKey = 0;
    std::int32_t m_lLastError = 0;
    std::wstring m_strClass;
    std::wstring m_strComputer;
    std::wstring m_strKeyName;
    std::wstring m_strRootKeyName;
    std::uint32_t m_dwSubKeys = 0;
    std::uint32_t m_dwValues = 0;
    std::uint32_t m_dwMaxSubKeyLen = 0;
    std::uint32_t m_dwMaxClassLen = 0;
    std::uint32_t m_dwMaxValueNameLen = 0;
    std::uint32_t m_dwMaxValueLen = 0;
    std::uint32_t m_dwSecurityDescriptorLen = 0;
    std::uint64_t m_ftLastWrite = 0;
};
