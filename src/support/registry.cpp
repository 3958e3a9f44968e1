#include "support/registry.h"

#include <algorithm>
#include <cwchar>
#include <new>

#include "platform/byte_order.h"
#include "platform/registry_tree.h"
#include "platform/seam.h"
#include "platform/utf16.h"

namespace {

using platform::RegKey;

using platform::kErrorExceptionInService;
using platform::kErrorInvalidHandle;
using platform::kErrorInvalidParameter;
using platform::kErrorNotEnoughMemory;

constexpr std::uint32_t kNameChars = 2047;
constexpr std::uint32_t kValueNameChars = 2048;
constexpr std::uint32_t kStringBytes = 2048;

platform::Registry& Reg()
{
    return platform::Use<platform::Registry>();
}

// A name getter's copy; empty when there is no memory for it, so that nothing leaves the class.
std::wstring CopyOrEmpty(const std::wstring& name) noexcept
{
    try {
        return name;
    } catch (...) {
        return std::wstring();
    }
}

std::wstring RootName(RegKey root)
{
    for (const platform::RegRootName& known : platform::kRegRootNames) {
        if (known.key == root) {
            return known.name;
        }
    }
    return L"Unknown";
}

// The UTF-16 text of `bytes` up to its first terminator.
std::wstring TextOf(const std::vector<std::uint8_t>& bytes, std::uint32_t size)
{
    std::wstring text = platform::FromUtf16Le(bytes.data(), size / 2);
    const std::size_t end = text.find(L'\0');
    return end == std::wstring::npos ? text : text.substr(0, end);
}

}  // namespace

CRegistry::CRegistry() = default;

CRegistry::~CRegistry()
{
    if (m_hRootKey != 0) {
        Close();
    }
    Reset();
}

void CRegistry::Reset()
{
    m_hKey = 0;
    m_hRootKey = 0;
    m_lLastError = 0;
    m_strClass.clear();
    m_strComputer.clear();
    m_strKeyName.clear();
    m_strRootKeyName.clear();
    m_dwSubKeys = 0;
    m_dwValues = 0;
    m_dwMaxSubKeyLen = 0;
    m_dwMaxClassLen = 0;
    m_dwMaxValueNameLen = 0;
    m_dwMaxValueLen = 0;
    m_dwSecurityDescriptorLen = 0;
    m_ftLastWrite = 0;
}

bool CRegistry::Record(std::int32_t status)
{
    m_lLastError = status;
    return status == 0;
}

bool CRegistry::Refuse(unsigned long errorCode)
{
    return Record(platform::RegStatus(errorCode));
}

// Runs an operation so that no exception leaves the class: an allocation that fails is reported
// as ERROR_NOT_ENOUGH_MEMORY, any other exception as ERROR_EXCEPTION_IN_SERVICE.
template <typename Operation>
bool CRegistry::Guard(Operation&& operation)
{
    try {
        return operation();
    } catch (const std::bad_alloc&) {
        return Refuse(kErrorNotEnoughMemory);
    } catch (...) {
        return Refuse(kErrorExceptionInService);
    }
}

CRegistry::RegKey CRegistry::GetRootKeyHandle(const std::wstring& name)
{
    for (const platform::RegRootName& known : platform::kRegRootNames) {
        if (name == known.name) {
            return known.key;
        }
    }
    return 0;
}

bool CRegistry::Close()
{
    if (m_hKey != 0) {
        Reg().CloseKey(m_hKey);
        m_hKey = 0;
    }
    if (m_hRootKey == 0) {
        return true;
    }
    const std::int32_t status = Reg().CloseKey(m_hRootKey);
    if (status != 0) {
        return Record(status);
    }
    Reset();
    return true;
}

bool CRegistry::ConnectRoot(RegKey root, const wchar_t* computer)
{
    return Guard([&]() {
        // A second connection would otherwise leak the first one's handles.
        if (m_hRootKey != 0 && !Close()) {
            return false;
        }
        const bool remote = computer != nullptr && computer[0] != L'\0';
        std::int32_t status = 0;
        // Windows refuses a null root; Wine would open something for it.
        if (root == 0) {
            return Refuse(kErrorInvalidHandle);
        }
        if (root == platform::kHkeyClassesRoot || root == platform::kHkeyCurrentUser) {
            if (remote) {
                return Refuse(kErrorInvalidHandle);
            }
            m_hRootKey = root;
        } else {
            RegKey connected = 0;
            status = Reg().ConnectRegistry(remote ? computer : nullptr, root, connected);
            m_hRootKey = status == 0 ? connected : 0;
        }
        if (status == 0) {
            m_strComputer = remote ? std::wstring(computer) : Reg().ComputerName();
            m_strRootKeyName = RootName(root);
        }
        return Record(status);
    });
}

bool CRegistry::CreateKey(const wchar_t* subKey, const wchar_t* keyClass, std::uint32_t options,
                          std::uint32_t access, void* securityAttributes,
                          std::uint32_t* disposition)
{
    if (subKey == nullptr) {
        return Refuse(kErrorInvalidParameter);
    }
    return Guard([&]() {
        if (m_hKey != 0) {
            Reg().CloseKey(m_hKey);
            m_hKey = 0;
        }
        std::uint32_t created = 0;
        RegKey key = 0;
        const std::int32_t status =
            Reg().CreateKey(m_hRootKey, subKey, keyClass != nullptr ? keyClass : L"", options,
                            access, securityAttributes, key, &created);
        if (status == 0) {
            m_hKey = key;
            m_strKeyName = subKey;
            if (disposition != nullptr) {
                *disposition = created;
            }
        }
        return Record(status);
    });
}

bool CRegistry::DeleteKey(const wchar_t* path)
{
    // An empty name would delete the open key with all its subkeys, and a name ending in "\"
    // opens the key before it and deletes it: both name no subkey to delete.
    if (path == nullptr || path[0] == L'\0' || path[std::wcslen(path) - 1] == L'\\') {
        return Refuse(kErrorInvalidParameter);
    }
    return Guard([&]() {
        const std::wstring fullPath(path);
        const std::size_t slash = fullPath.rfind(L'\\');
        if (slash == std::wstring::npos) {
            return Record(platform::DeleteRegTree(Reg(), m_hKey, fullPath));
        }
        const std::wstring remembered = m_strKeyName;
        if (!OpenKey(fullPath.substr(0, slash).c_str(), platform::kKeyAllAccess)) {
            m_strKeyName = remembered;
            return false;
        }
        return Record(platform::DeleteRegTree(Reg(), m_hKey, fullPath.substr(slash + 1)));
    });
}

bool CRegistry::DeleteValue(const wchar_t* name)
{
    if (name == nullptr) {
        return Refuse(kErrorInvalidParameter);
    }
    return Record(Reg().DeleteValue(m_hKey, name));
}

bool CRegistry::EnumKey(std::uint32_t index, std::wstring& name, std::wstring& keyClass)
{
    return Guard([&]() {
        std::vector<wchar_t> nameBuffer(kNameChars, L'\0');
        std::vector<wchar_t> classBuffer(kNameChars, L'\0');
        std::uint32_t nameChars = kNameChars;
        std::uint32_t classChars = kNameChars;
        std::uint64_t written = 0;
        const std::int32_t status = Reg().EnumKey(m_hKey, index, nameBuffer.data(), nameChars,
                                                  classBuffer.data(), &classChars, &written);
        if (status == 0) {
            name.assign(nameBuffer.data(), nameChars);
            keyClass.assign(classBuffer.data(), classChars);
            m_ftLastWrite = written;
        }
        return Record(status);
    });
}

bool CRegistry::EnumValue(std::uint32_t index, std::wstring& name, std::uint32_t& type, void* data,
                          std::uint32_t& size)
{
    return Guard([&]() {
        std::vector<wchar_t> nameBuffer(kValueNameChars, L'\0');
        std::uint32_t nameChars = kValueNameChars;
        const std::int32_t status =
            Reg().EnumValue(m_hKey, index, nameBuffer.data(), nameChars, &type, data, &size);
        if (status == 0) {
            name.assign(nameBuffer.data(), nameChars);
        }
        return Record(status);
    });
}

bool CRegistry::Flush()
{
    return Record(Reg().FlushKey(m_hKey));
}

bool CRegistry::ReadBinary(const wchar_t* name, ByteArray& bytes)
{
    if (name == nullptr) {
        return Refuse(kErrorInvalidParameter);
    }
    return Guard([&]() {
        QueryInfo();
        std::vector<std::uint8_t> buffer(std::size_t{m_dwMaxValueLen} + 1);
        std::uint32_t type = platform::kRegBinary;
        std::uint32_t size = m_dwMaxValueLen;
        if (!QueryValue(name, type, buffer.data(), size)) {
            return false;
        }
        bytes.assign(buffer.begin(), buffer.begin() + size);
        return true;
    });
}

std::wstring CRegistry::GetKeyClass() const noexcept
{
    return CopyOrEmpty(m_strClass);
}
std::wstring CRegistry::GetComputer() const noexcept
{
    return CopyOrEmpty(m_strComputer);
}

// The stored type is not compared with REG_DWORD; longer data fails with ERROR_MORE_DATA.
bool CRegistry::ReadDword(const wchar_t* name, std::uint32_t& value)
{
    if (name == nullptr) {
        return Refuse(kErrorInvalidParameter);
    }
    std::uint8_t bytes[4] = {};
    std::uint32_t type = platform::kRegDword;
    std::uint32_t size = sizeof(bytes);
    if (!QueryValue(name, type, bytes, size)) {
        return false;
    }
    value = platform::le::Load32(bytes);
    return true;
}

std::int32_t CRegistry::GetLastErrorCode() const
{
    return m_lLastError;
}
std::wstring CRegistry::GetKeyName() const noexcept
{
    return CopyOrEmpty(m_strKeyName);
}
std::uint32_t CRegistry::GetSubKeyCount() const
{
    return m_dwSubKeys;
}
std::uint32_t CRegistry::GetValueCount() const
{
    return m_dwValues;
}
std::wstring CRegistry::GetRootKeyName() const noexcept
{
    return CopyOrEmpty(m_strRootKeyName);
}

bool CRegistry::GetKeySecurity(std::uint32_t information, void* descriptor, std::uint32_t& size)
{
    return Record(Reg().GetKeySecurity(m_hKey, information, descriptor, size));
}

bool CRegistry::ReadString(const wchar_t* name, std::wstring& text)
{
    // A failed read leaves the text empty.
    text.clear();
    if (name == nullptr) {
        return Refuse(kErrorInvalidParameter);
    }
    return Guard([&]() {
        std::vector<std::uint8_t> buffer(kStringBytes, 0);
        std::uint32_t type = platform::kRegSz;
        std::uint32_t size = kStringBytes;
        if (!QueryValue(name, type, buffer.data(), size)) {
            return false;
        }
        // The buffer's last character is the terminator's place: a value that fills the buffer
        // without one still yields at most 1023 characters.
        text = TextOf(buffer, std::min(size, kStringBytes - 2));
        return true;
    });
}

bool CRegistry::ReadMultiString(const wchar_t* name, StringArray& strings)
{
    if (name == nullptr) {
        return Refuse(kErrorInvalidParameter);
    }
    return Guard([&]() {
        QueryInfo();
        std::vector<std::uint8_t> buffer(std::size_t{m_dwMaxValueLen} + 2, 0);
        std::uint32_t type = platform::kRegMultiSz;
        std::uint32_t size = m_dwMaxValueLen;
        if (!QueryValue(name, type, buffer.data(), size)) {
            return false;
        }
        strings.clear();
        const std::wstring all = platform::FromUtf16Le(buffer.data(), size / 2);
        std::size_t start = 0;
        while (start < all.size()) {
            const std::size_t end = all.find(L'\0', start);
            const std::wstring piece =
                all.substr(start, end == std::wstring::npos ? end : end - start);
            if (piece.empty()) {
                break;
            }
            strings.push_back(piece);
            if (end == std::wstring::npos) {
                break;
            }
            start = end + 1;
        }
        return true;
    });
}

bool CRegistry::ReadMultiString(const std::wstring& name, StringArray& strings)
{
    return name.empty() ? Refuse(kErrorInvalidParameter) : ReadMultiString(name.c_str(), strings);
}

bool CRegistry::ReadString(const std::wstring& name, std::wstring& text)
{
    return name.empty() ? Refuse(kErrorInvalidParameter) : ReadString(name.c_str(), text);
}

bool CRegistry::ReadDword(const std::wstring& name, std::uint32_t& value)
{
    return name.empty() ? Refuse(kErrorInvalidParameter) : ReadDword(name.c_str(), value);
}

bool CRegistry::ReadBinary(const std::wstring& name, ByteArray& bytes)
{
    return name.empty() ? Refuse(kErrorInvalidParameter) : ReadBinary(name.c_str(), bytes);
}

bool CRegistry::LoadKey(const wchar_t* subKey, const wchar_t* file)
{
    if (subKey == nullptr || file == nullptr) {
        return Refuse(kErrorInvalidParameter);
    }
    return Record(Reg().LoadKey(m_hRootKey, subKey, file));
}

bool CRegistry::NotifyChange(std::uintptr_t event, std::uint32_t filter, bool watchSubtree,
                             bool asynchronous)
{
    return Record(Reg().NotifyChangeKeyValue(m_hKey, watchSubtree, filter, event, asynchronous));
}

bool CRegistry::OpenKey(const wchar_t* subKey, std::uint32_t access)
{
    return Guard([&]() {
        if (m_hKey != 0) {
            Reg().CloseKey(m_hKey);
            m_hKey = 0;
        }
        if (m_hRootKey == 0) {
            return false;
        }
        if (subKey == nullptr) {
            return Refuse(kErrorInvalidParameter);
        }
        RegKey key = 0;
        const std::int32_t status = Reg().OpenKey(m_hRootKey, subKey, access, key);
        if (status == 0) {
            m_hKey = key;
            QueryInfo();
            m_strKeyName = subKey;
        }
        return Record(status);
    });
}

bool CRegistry::QueryInfo()
{
    return Guard([&]() {
        std::vector<wchar_t> classBuffer(kNameChars, L'\0');
        std::uint32_t classChars = kNameChars;
        platform::RegKeyInfo info;
        const std::int32_t status =
            Reg().QueryInfoKey(m_hKey, classBuffer.data(), &classChars, info);
        if (status == 0) {
            m_dwSubKeys = info.subKeys;
            m_dwMaxSubKeyLen = info.maxSubKeyLen;
            m_dwMaxClassLen = info.maxClassLen;
            m_dwValues = info.values;
            m_dwMaxValueNameLen = info.maxValueNameLen;
            m_dwMaxValueLen = info.maxValueLen;
            m_dwSecurityDescriptorLen = info.securityDescriptorLen;
            m_ftLastWrite = info.lastWriteTime;
            m_strClass.assign(classBuffer.data(), classChars);
        }
        return Record(status);
    });
}

bool CRegistry::QueryValue(const wchar_t* name, std::uint32_t& type, void* data,
                           std::uint32_t& size)
{
    if (name == nullptr) {
        return Refuse(kErrorInvalidParameter);
    }
    return Record(Reg().QueryValue(m_hKey, name, &type, data, &size));
}

bool CRegistry::ReplaceKey(const wchar_t* subKey, const wchar_t* newFile, const wchar_t* oldFile)
{
    if (subKey == nullptr || newFile == nullptr || oldFile == nullptr) {
        return Refuse(kErrorInvalidParameter);
    }
    return Record(Reg().ReplaceKey(m_hKey, subKey, newFile, oldFile));
}

bool CRegistry::RestoreKey(const wchar_t* file, std::uint32_t flags)
{
    if (file == nullptr) {
        return Refuse(kErrorInvalidParameter);
    }
    if (Record(Reg().RestoreKey(m_hKey, file, flags))) {
        return true;
    }
    const std::int32_t privilege = Reg().EnablePrivilege(L"SeRestorePrivilege");
    if (privilege != 0) {
        return Record(privilege);
    }
    return Record(Reg().RestoreKey(m_hKey, file, flags));
}

bool CRegistry::SaveKey(const wchar_t* file, void* securityAttributes)
{
    if (file == nullptr) {
        return Refuse(kErrorInvalidParameter);
    }
    // Attempted whether or not the privilege could be enabled.
    Reg().EnablePrivilege(L"SeBackupPrivilege");
    return Record(Reg().SaveKey(m_hKey, file, securityAttributes));
}

bool CRegistry::WriteBinary(const wchar_t* name, const ByteArray& bytes)
{
    static const std::uint8_t kNoBytes = 0;
    return WriteValue(name, platform::kRegBinary, bytes.empty() ? &kNoBytes : bytes.data(),
                      static_cast<std::uint32_t>(bytes.size()));
}

bool CRegistry::WriteDword(const wchar_t* name, std::uint32_t value)
{
    std::uint8_t bytes[4] = {};
    platform::le::Store32(bytes, value);
    return WriteValue(name, platform::kRegDword, bytes, sizeof(bytes));
}

bool CRegistry::SetKeySecurity(std::uint32_t information, void* descriptor)
{
    return Record(Reg().SetKeySecurity(m_hKey, information, descriptor));
}

bool CRegistry::WriteString(const wchar_t* name, const wchar_t* text)
{
    if (text == nullptr) {
        return Refuse(kErrorInvalidParameter);
    }
    return Guard([&]() {
        std::vector<std::uint8_t> bytes;
        platform::AppendUtf16Le(bytes, text);
        return WriteValue(name, platform::kRegSz, bytes.data(),
                          static_cast<std::uint32_t>(bytes.size()));
    });
}

bool CRegistry::WriteMultiString(const wchar_t* name, const StringArray& strings)
{
    return Guard([&]() {
        std::vector<std::uint8_t> bytes;
        for (const std::wstring& text : strings) {
            platform::AppendUtf16Le(bytes, text);
        }
        platform::AppendUtf16Le(bytes, L"");
        return WriteValue(name, platform::kRegMultiSz, bytes.data(),
                          static_cast<std::uint32_t>(bytes.size()));
    });
}

bool CRegistry::WriteValue(const wchar_t* name, std::uint32_t type, const void* data,
                           std::uint32_t size)
{
    if (name == nullptr || data == nullptr) {
        return Refuse(kErrorInvalidParameter);
    }
    return Record(Reg().SetValue(m_hKey, name, type, data, size));
}

bool CRegistry::WriteString(const std::wstring& name, const std::wstring& text)
{
    return name.empty() ? Refuse(kErrorInvalidParameter) : WriteString(name.c_str(), text.c_str());
}

bool CRegistry::WriteMultiString(const std::wstring& name, const StringArray& strings)
{
    return name.empty() ? Refuse(kErrorInvalidParameter) : WriteMultiString(name.c_str(), strings);
}

bool CRegistry::WriteDword(const std::wstring& name, std::uint32_t value)
{
    return name.empty() ? Refuse(kErrorInvalidParameter) : WriteDword(name.c_str(), value);
}

bool CRegistry::WriteBinary(const std::wstring& name, const ByteArray& bytes)
{
    return name.empty() ? Refuse(kErrorInvalidParameter) : WriteBinary(name.c_str(), bytes);
}

bool CRegistry::UnLoadKey(const wchar_t* subKey)
{
    if (subKey == nullptr) {
        return Refuse(kErrorInvalidParameter);
    }
    return Record(Reg().UnLoadKey(m_hKey, subKey));
}
