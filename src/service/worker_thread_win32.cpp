#include "service/worker_thread.h"

#include <windows.h>

#include <atomic>
#include <memory>
#include <new>
#include <utility>

#include "platform/win32/com_apartment.h"
#include "platform/win32/unique_resource.h"

namespace service {
namespace {

std::atomic<long> s_nLiveWorkers{0};
std::atomic<long> s_nLiveReaders{0};

// What the new thread receives: its body and the loader reference on the module that holds
// this code, taken before the thread exists.
struct ThreadStart {
    std::function<void()> m_Body;
    HMODULE m_hModule = nullptr;
    std::atomic<long>* m_pLive = nullptr;  // the count of live threads of its role
};

DWORD WINAPI ThreadProc(LPVOID p_pArgument)
{
    HMODULE l_hModule = nullptr;
    std::atomic<long>* l_pLive = &s_nLiveWorkers;
    if (p_pArgument != nullptr) {
        std::unique_ptr<ThreadStart> l_pStart(static_cast<ThreadStart*>(p_pArgument));
        l_hModule = l_pStart->m_hModule;
        l_pLive = l_pStart->m_pLive;
        {
            // The HMI lookup needs COM, and a host thread need not have initialised it.
            const platform::win32::ComApartment l_Apartment;
            l_pStart->m_Body();
        }
    }
    l_pLive->fetch_sub(1);
    // The module may be released by its host while this thread still runs: the loader
    // reference taken in Start keeps the code mapped until the thread's last instruction.
    if (l_hModule != nullptr) {
        FreeLibraryAndExitThread(l_hModule, 0);
    }
    return 0;
}

HMODULE PinThisModule()
{
    HMODULE l_hModule = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            reinterpret_cast<LPCWSTR>(&ThreadProc), &l_hModule)) {
        return nullptr;
    }
    return l_hModule;
}

}  // namespace

struct WorkerThread::Handle {
    platform::win32::UniqueHandle m_hThread;
};

WorkerThread::WorkerThread(Role p_Role) : m_Role(p_Role) {}

WorkerThread::~WorkerThread() = default;

bool WorkerThread::Start(std::function<void()> body)
{
    // Everything that can fail comes before the thread exists: a thread whose owner then gave
    // up would run on with nobody to stop it, and its handle would be lost.
    std::unique_ptr<ThreadStart> l_pStart;
    std::unique_ptr<Handle> l_pHandle;
    try {
        l_pStart = std::make_unique<ThreadStart>();
        l_pHandle = std::make_unique<Handle>();
    } catch (const std::bad_alloc&) {
        return false;
    }
    l_pStart->m_Body = std::move(body);
    l_pStart->m_hModule = PinThisModule();
    l_pStart->m_pLive = m_Role == Role::Reader ? &s_nLiveReaders : &s_nLiveWorkers;
    l_pStart->m_pLive->fetch_add(1);
    l_pHandle->m_hThread.Reset(CreateThread(nullptr, 0, ThreadProc, l_pStart.get(), 0, nullptr));
    if (!l_pHandle->m_hThread) {
        l_pStart->m_pLive->fetch_sub(1);
        if (l_pStart->m_hModule != nullptr) {
            FreeLibrary(l_pStart->m_hModule);
        }
        return false;
    }
    l_pStart.release();  // the thread owns it now
    m_pHandle = std::move(l_pHandle);
    return true;
}

bool WorkerThread::IsStarted() const
{
    return m_pHandle != nullptr;
}

bool WorkerThread::Join(std::chrono::milliseconds timeout)
{
    if (!m_pHandle) {
        return true;
    }
    const DWORD l_dwWait =
        WaitForSingleObject(m_pHandle->m_hThread.Get(), static_cast<DWORD>(timeout.count()));
    // Closing the handle does not end a thread that is still running: it runs on unowned.
    m_pHandle.reset();
    return l_dwWait == WAIT_OBJECT_0;
}

long LiveWorkerThreads()
{
    return s_nLiveWorkers.load();
}

long LiveReaderThreads()
{
    return s_nLiveReaders.load();
}

}  // namespace service
