#include "service/com/module.h"

#include "service/worker_thread.h"

CVW_ZorbelApp& CVW_ZorbelApp::Instance()
{
    static CVW_ZorbelApp s_App;
    return s_App;
}

std::wstring CVW_ZorbelApp::GetModulePath(DWORD p_nMaxChars) const
{
    std::wstring l_strPath(p_nMaxChars, L'\0');
    const DWORD l_nLength = GetModuleFileNameW(m_hModule, l_strPath.data(), p_nMaxChars);
    if (l_nLength == 0 || l_nLength >= p_nMaxChars) {
        return std::wstring();
    }
    l_strPath.resize(l_nLength);
    return l_strPath;
}

bool CVW_ZorbelApp::CanUnload() const
{
    return m_nLocks.load() == 0 && service::LiveWorkerThreads() == 0 &&
           service::LiveReaderThreads() == 0;
}
