#pragma once

#include <windows.h>

#include <atomic>
#include <string>

// The module's application object: the module handle it was loaded as and the count of
// outstanding objects and server locks that keep it loaded.
class CVW_ZorbelApp {
public:
    static CVW_ZorbelApp& Instance();

    void Init(HMODULE p_hModule) { m_hModule = p_hModule; }
    HMODULE GetModule() const { return m_hModule; }

    // Full path of this module (not of the host), at most p_nMaxChars characters; empty when
    // it cannot be read.
    std::wstring GetModulePath(DWORD p_nMaxChars) const;

    void Lock() { m_nLocks.fetch_add(1); }
    void Unlock() { m_nLocks.fetch_sub(1); }
    // No object, no server lock and no worker thread left.
    bool CanUnload() const;

private:
    CVW_ZorbelApp() = default;

    HMODULE m_hModule = nullptr;
    std::atomic<long> m_nLocks{0};
};

// Counts one module lock for its life.
class ModuleLock {
public:
    ModuleLock() { CVW_ZorbelApp::Instance().Lock(); }
    ~ModuleLock() { CVW_ZorbelApp::Instance().Unlock(); }
    ModuleLock(const ModuleLock&) = delete;
    ModuleLock& operator=(const ModuleLock&) = delete;
};
