#include "standins/memory_registry.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <cwctype>
#include <vector>

#include "platform/last_error.h"
#include "platform/text.h"

#if !defined(_WIN32)
#include <unistd.h>
#endif

namespace platform {

struct MemoryRegistry::Node {
    struct Value {
        std::wstring name;
        std::uint32_t type = kRegNone;
        std::vector<std::uint8_t> data;
    };

    std::wstring name;
    std::wstring keyClass;
    std::map<std::wstring, std::shared_ptr<Node>> children;  // by upper-case name
    std::vector<Value> values;
    std::uint64_t lastWriteTime = 0;
    Node* parent = nullptr;
    bool deleted = false;
    bool isRoot = false;
};

namespace {

using Node = MemoryRegistry::Node;

constexpr std::size_t kMaxKeyDepth = 512;

std::wstring Text(const wchar_t* text)
{
    return text != nullptr ? std::wstring(text) : L"";
}

std::uint64_t FileTimeNow()
{
    using namespace std::chrono;
    const auto since1970 =
        duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
    return static_cast<std::uint64_t>(since1970) * 10u + 116444736000000000ull;
}

// The components of a key path; false for an empty component ("a\\b", "\a").
bool SplitPath(const std::wstring& path, std::vector<std::wstring>& parts)
{
    parts.clear();
    if (path.empty()) {
        return true;
    }
    std::wstring trimmed = path;
    if (trimmed.back() == L'\\') {
        trimmed.pop_back();
    }
    std::size_t start = 0;
    while (true) {
        const std::size_t end = trimmed.find(L'\\', start);
        const std::wstring part =
            trimmed.substr(start, end == std::wstring::npos ? end : end - start);
        if (part.empty()) {
            return false;
        }
        parts.push_back(part);
        if (end == std::wstring::npos) {
            return true;
        }
        start = end + 1;
    }
}

// Copies a name into a caller's buffer of `chars` characters (terminator included).
std::int32_t CopyName(const std::wstring& source, wchar_t* buffer, std::uint32_t& chars)
{
    if (buffer == nullptr) {
        return RegStatus(kErrorInvalidParameter);
    }
    if (source.size() + 1 > chars) {
        return RegStatus(kErrorMoreData);
    }
    std::copy(source.begin(), source.end(), buffer);
    buffer[source.size()] = L'\0';
    chars = static_cast<std::uint32_t>(source.size());
    return 0;
}

std::int32_t CopyData(const std::vector<std::uint8_t>& source, void* data, std::uint32_t* dataBytes)
{
    if (dataBytes == nullptr) {
        return data == nullptr ? 0 : RegStatus(kErrorInvalidParameter);
    }
    const auto needed = static_cast<std::uint32_t>(source.size());
    if (data != nullptr) {
        if (*dataBytes < needed) {
            *dataBytes = needed;
            return RegStatus(kErrorMoreData);
        }
        if (!source.empty()) {
            std::memcpy(data, source.data(), source.size());
        }
    }
    *dataBytes = needed;
    return 0;
}

Node::Value* FindValue(Node& node, const wchar_t* name)
{
    const std::wstring wanted = UpperCase(Text(name));
    for (Node::Value& value : node.values) {
        if (UpperCase(value.name) == wanted) {
            return &value;
        }
    }
    return nullptr;
}

void MarkDeleted(Node& node)
{
    node.deleted = true;
    for (auto& child : node.children) {
        MarkDeleted(*child.second);
    }
}

}  // namespace

MemoryRegistry::MemoryRegistry()
{
    for (RegKey root : {kHkeyClassesRoot, kHkeyCurrentUser, kHkeyLocalMachine, kHkeyUsers,
                        kHkeyPerformanceData, kHkeyCurrentConfig, kHkeyDynData}) {
        auto node = std::make_shared<Node>();
        node->isRoot = true;
        node->lastWriteTime = FileTimeNow();
        m_roots[root] = node;
    }
}

MemoryRegistry::~MemoryRegistry() = default;

std::int32_t MemoryRegistry::Resolve(RegKey key, std::shared_ptr<Node>& node) const
{
    auto root = m_roots.find(key);
    if (root != m_roots.end()) {
        node = root->second;
        return 0;
    }
    auto handle = m_handles.find(key);
    if (handle == m_handles.end()) {
        return RegStatus(kErrorInvalidHandle);
    }
    node = handle->second;
    return node->deleted ? RegStatus(kErrorKeyDeleted) : 0;
}

std::int32_t MemoryRegistry::FindKey(RegKey key, const std::wstring& subKey,
                                     std::shared_ptr<Node>& node) const
{
    if (const std::int32_t status = Resolve(key, node); status != 0) {
        return status;
    }
    std::vector<std::wstring> parts;
    if (!SplitPath(subKey, parts)) {
        return RegStatus(kErrorFileNotFound);
    }
    for (const std::wstring& part : parts) {
        auto child = node->children.find(UpperCase(part));
        if (child == node->children.end()) {
            return RegStatus(kErrorFileNotFound);
        }
        node = child->second;
    }
    return 0;
}

RegKey MemoryRegistry::NewHandle(const std::shared_ptr<Node>& node)
{
    const RegKey handle = m_nextHandle;
    m_nextHandle += 4;
    m_handles[handle] = node;
    return handle;
}

std::size_t MemoryRegistry::OpenHandleCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_handles.size();
}

std::int32_t MemoryRegistry::ConnectRegistry(const wchar_t* computer, RegKey root, RegKey& result)
{
    result = 0;
    std::wstring name = Text(computer);
    if (name.rfind(L"\\\\", 0) == 0) {
        name.erase(0, 2);
    }
    if (!name.empty() && UpperCase(name) != UpperCase(ComputerName())) {
        return RegStatus(kErrorBadNetPath);
    }
    if (root != kHkeyLocalMachine && root != kHkeyUsers && root != kHkeyPerformanceData &&
        root != kHkeyClassesRoot && root != kHkeyCurrentUser && root != kHkeyCurrentConfig) {
        return RegStatus(kErrorInvalidHandle);
    }
    return OpenKey(root, nullptr, kKeyAllAccess, result);
}

std::int32_t MemoryRegistry::OpenKey(RegKey key, const wchar_t* subKey, std::uint32_t,
                                     RegKey& result)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    result = 0;
    std::shared_ptr<Node> node;
    if (const std::int32_t status = FindKey(key, Text(subKey), node); status != 0) {
        return status;
    }
    result = NewHandle(node);
    return 0;
}

std::int32_t MemoryRegistry::CreateKey(RegKey key, const wchar_t* subKey, const wchar_t* keyClass,
                                       std::uint32_t, std::uint32_t, void*, RegKey& result,
                                       std::uint32_t* disposition)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    result = 0;
    if (subKey == nullptr) {
        return RegStatus(kErrorInvalidParameter);
    }
    std::shared_ptr<Node> node;
    if (const std::int32_t status = Resolve(key, node); status != 0) {
        return status;
    }
    std::vector<std::wstring> parts;
    if (!SplitPath(subKey, parts)) {
        return RegStatus(kErrorBadPathname);
    }
    // The registry is at most 512 levels deep; a deeper tree would also make the recursive
    // walks over it (deletion, an import's delete lines) exhaust the stack.
    std::size_t depth = parts.size();
    for (const Node* above = node.get(); !above->isRoot && above->parent != nullptr;
         above = above->parent) {
        ++depth;
    }
    if (depth > kMaxKeyDepth) {
        return RegStatus(kErrorInvalidParameter);
    }
    std::uint32_t outcome = kRegOpenedExistingKey;
    for (const std::wstring& part : parts) {
        auto& slot = node->children[UpperCase(part)];
        if (!slot) {
            slot = std::make_shared<Node>();
            slot->name = part;
            slot->keyClass = Text(keyClass);
            slot->parent = node.get();
            slot->lastWriteTime = FileTimeNow();
            node->lastWriteTime = slot->lastWriteTime;
            outcome = kRegCreatedNewKey;
        } else {
            outcome = kRegOpenedExistingKey;
        }
        node = slot;
    }
    if (disposition != nullptr) {
        *disposition = outcome;
    }
    result = NewHandle(node);
    return 0;
}

std::int32_t MemoryRegistry::CloseKey(RegKey key)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_roots.count(key) != 0) {
        return 0;
    }
    return m_handles.erase(key) != 0 ? 0 : RegStatus(kErrorInvalidHandle);
}

std::int32_t MemoryRegistry::DeleteKey(RegKey key, const wchar_t* subKey)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (subKey == nullptr) {
        return RegStatus(kErrorInvalidParameter);
    }
    std::shared_ptr<Node> node;
    if (const std::int32_t status = FindKey(key, subKey, node); status != 0) {
        return status;
    }
    if (node->isRoot || node->parent == nullptr) {
        return RegStatus(kErrorAccessDenied);
    }
    if (!node->children.empty()) {
        return RegStatus(kErrorAccessDenied);
    }
    Node* parent = node->parent;
    MarkDeleted(*node);
    parent->children.erase(UpperCase(node->name));
    parent->lastWriteTime = FileTimeNow();
    return 0;
}

std::int32_t MemoryRegistry::DeleteValue(RegKey key, const wchar_t* name)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::shared_ptr<Node> node;
    if (const std::int32_t status = Resolve(key, node); status != 0) {
        return status;
    }
    Node::Value* value = FindValue(*node, name);
    if (value == nullptr) {
        return RegStatus(kErrorFileNotFound);
    }
    node->values.erase(node->values.begin() + (value - node->values.data()));
    node->lastWriteTime = FileTimeNow();
    return 0;
}

std::int32_t MemoryRegistry::EnumKey(RegKey key, std::uint32_t index, wchar_t* name,
                                     std::uint32_t& nameChars, wchar_t* keyClass,
                                     std::uint32_t* classChars, std::uint64_t* lastWriteTime)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::shared_ptr<Node> node;
    if (const std::int32_t status = Resolve(key, node); status != 0) {
        return status;
    }
    if (index >= node->children.size()) {
        return RegStatus(kErrorNoMoreItems);
    }
    const Node& child = *std::next(node->children.begin(), index)->second;
    if (const std::int32_t status = CopyName(child.name, name, nameChars); status != 0) {
        return status;
    }
    if (keyClass != nullptr && classChars != nullptr) {
        if (const std::int32_t status = CopyName(child.keyClass, keyClass, *classChars);
            status != 0) {
            return status;
        }
    }
    if (lastWriteTime != nullptr) {
        *lastWriteTime = child.lastWriteTime;
    }
    return 0;
}

std::int32_t MemoryRegistry::EnumValue(RegKey key, std::uint32_t index, wchar_t* name,
                                       std::uint32_t& nameChars, std::uint32_t* type, void* data,
                                       std::uint32_t* dataBytes)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::shared_ptr<Node> node;
    if (const std::int32_t status = Resolve(key, node); status != 0) {
        return status;
    }
    if (index >= node->values.size()) {
        return RegStatus(kErrorNoMoreItems);
    }
    const Node::Value& value = node->values[index];
    if (const std::int32_t status = CopyName(value.name, name, nameChars); status != 0) {
        return status;
    }
    if (type != nullptr) {
        *type = value.type;
    }
    return CopyData(value.data, data, dataBytes);
}

std::int32_t MemoryRegistry::FlushKey(RegKey key)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::shared_ptr<Node> node;
    return Resolve(key, node);
}

std::int32_t MemoryRegistry::QueryInfoKey(RegKey key, wchar_t* keyClass, std::uint32_t* classChars,
                                          RegKeyInfo& info)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::shared_ptr<Node> node;
    if (const std::int32_t status = Resolve(key, node); status != 0) {
        return status;
    }
    if (keyClass != nullptr && classChars != nullptr) {
        if (const std::int32_t status = CopyName(node->keyClass, keyClass, *classChars);
            status != 0) {
            return status;
        }
    }
    info = RegKeyInfo{};
    info.subKeys = static_cast<std::uint32_t>(node->children.size());
    for (const auto& child : node->children) {
        info.maxSubKeyLen =
            std::max(info.maxSubKeyLen, static_cast<std::uint32_t>(child.second->name.size()));
        info.maxClassLen =
            std::max(info.maxClassLen, static_cast<std::uint32_t>(child.second->keyClass.size()));
    }
    info.values = static_cast<std::uint32_t>(node->values.size());
    for (const Node::Value& value : node->values) {
        info.maxValueNameLen =
            std::max(info.maxValueNameLen, static_cast<std::uint32_t>(value.name.size()));
        info.maxValueLen =
            std::max(info.maxValueLen, static_cast<std::uint32_t>(value.data.size()));
    }
    info.lastWriteTime = node->lastWriteTime;
    return 0;
}

std::int32_t MemoryRegistry::QueryValue(RegKey key, const wchar_t* name, std::uint32_t* type,
                                        void* data, std::uint32_t* dataBytes)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::shared_ptr<Node> node;
    if (const std::int32_t status = Resolve(key, node); status != 0) {
        return status;
    }
    if (data != nullptr && dataBytes == nullptr) {
        return RegStatus(kErrorInvalidParameter);
    }
    const Node::Value* value = FindValue(*node, name);
    if (value == nullptr) {
        return RegStatus(kErrorFileNotFound);
    }
    if (type != nullptr) {
        *type = value->type;
    }
    return CopyData(value->data, data, dataBytes);
}

std::int32_t MemoryRegistry::SetValue(RegKey key, const wchar_t* name, std::uint32_t type,
                                      const void* data, std::uint32_t dataBytes)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::shared_ptr<Node> node;
    if (const std::int32_t status = Resolve(key, node); status != 0) {
        return status;
    }
    if (data == nullptr && dataBytes != 0) {
        return RegStatus(kErrorInvalidParameter);
    }
    Node::Value* value = FindValue(*node, name);
    if (value == nullptr) {
        node->values.push_back(Node::Value{Text(name), type, {}});
        value = &node->values.back();
    }
    value->type = type;
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    value->data.assign(bytes, bytes + (data != nullptr ? dataBytes : 0));
    node->lastWriteTime = FileTimeNow();
    return 0;
}

std::int32_t MemoryRegistry::GetKeySecurity(RegKey, std::uint32_t, void*, std::uint32_t&)
{
    return RegStatus(kErrorNotSupported);
}

std::int32_t MemoryRegistry::SetKeySecurity(RegKey, std::uint32_t, void*)
{
    return RegStatus(kErrorNotSupported);
}

std::int32_t MemoryRegistry::LoadKey(RegKey, const wchar_t*, const wchar_t*)
{
    return RegStatus(kErrorNotSupported);
}

std::int32_t MemoryRegistry::UnLoadKey(RegKey, const wchar_t*)
{
    return RegStatus(kErrorNotSupported);
}

std::int32_t MemoryRegistry::ReplaceKey(RegKey, const wchar_t*, const wchar_t*, const wchar_t*)
{
    return RegStatus(kErrorNotSupported);
}

std::int32_t MemoryRegistry::RestoreKey(RegKey, const wchar_t*, std::uint32_t)
{
    return RegStatus(kErrorNotSupported);
}

std::int32_t MemoryRegistry::SaveKey(RegKey, const wchar_t*, void*)
{
    return RegStatus(kErrorNotSupported);
}

std::int32_t MemoryRegistry::NotifyChangeKeyValue(RegKey, bool, std::uint32_t, std::uintptr_t, bool)
{
    return RegStatus(kErrorNotSupported);
}

std::int32_t MemoryRegistry::EnablePrivilege(const wchar_t*)
{
    return RegStatus(kErrorNotSupported);
}

std::wstring MemoryRegistry::ComputerName()
{
#if defined(_WIN32)
    return L"LOCALHOST";
#else
    char host[256] = {};
    if (gethostname(host, sizeof(host) - 1) != 0) {
        return std::wstring();
    }
    std::wstring name;
    for (const char* c = host; *c != '\0' && *c != '.'; ++c) {
        name.push_back(static_cast<wchar_t>(std::towupper(static_cast<unsigned char>(*c))));
    }
    return name.substr(0, 15);
#endif
}

}  // namespace platform
