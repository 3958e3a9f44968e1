#pragma once

#include <set>
#include <string>

#include "platform/file_system.h"

namespace fakes {

// A file system of listed entries and ready drive roots, with a fixed module path.
class FakeFileSystem : public platform::FileSystem {
public:
    std::wstring ModulePath(std::size_t maxChars) override
    {
        return m_strModulePath.substr(0, maxChars);
    }
    bool FindEntry(const std::wstring& path) override { return m_entries.count(path) != 0; }
    bool DriveReady(const std::wstring& root) override { return m_readyRoots.count(root) != 0; }

    std::wstring m_strModulePath;
    std::set<std::wstring> m_entries;
    std::set<std::wstring> m_readyRoots;
};

}  // namespace fakes
