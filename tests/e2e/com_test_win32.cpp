// The add-on's COM module as a host sees it: VW_Vexa.dll loaded from the test's folder and used
// through its class factory, without registration.
#include <windows.h>
#include <objbase.h>
#include <ocidl.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "VW_Zorbel.h"
#include "message_hook_win32.h"
#include "platform/win32/com_apartment.h"
#include "platform/win32/unique_resource.h"
#include "service/com/module_version_texts.h"

namespace {

using namespace std::chrono_literals;

std::wstring ExecutableFolder()
{
    wchar_t l_szPath[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, l_szPath, MAX_PATH);
    std::wstring l_strPath = l_szPath;
    return l_strPath.substr(0, l_strPath.find_last_of(L'\\') + 1);
}

class ComModuleTest : public ::testing::Test {
protected:
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();

    static void SetUpTestSuite()
    {
        s_Apartment.emplace();
        s_hModule = LoadLibraryW((ExecutableFolder() + L"VW_Vexa.dll").c_str());
        ASSERT_NE(s_hModule, nullptr);
        s_pGetClassObject = reinterpret_cast<GetClassObject>(
            reinterpret_cast<void*>(GetProcAddress(s_hModule, "DllGetClassObject")));
        s_pCanUnloadNow = reinterpret_cast<CanUnloadNow>(
            reinterpret_cast<void*>(GetProcAddress(s_hModule, "DllCanUnloadNow")));
        host::RouteMessageBoxes(s_hModule, [](const std::wstring& p_strText) {
            {
                std::lock_guard<std::mutex> l_Lock(s_Mutex);
                s_Messages.push_back(p_strText);
            }
            s_MessageShown.notify_all();
        });
    }

    IClassFactory* Factory()
    {
        IClassFactory* l_pFactory = nullptr;
        EXPECT_EQ(s_pGetClassObject(CLSID_VW_ZorbelObj, IID_IClassFactory,
                                    reinterpret_cast<void**>(&l_pFactory)),
                  S_OK);
        return l_pFactory;
    }

    IVWService* Create()
    {
        IClassFactory* l_pFactory = Factory();
        IVWService* l_pService = nullptr;
        EXPECT_EQ(l_pFactory->CreateInstance(nullptr, IID_IVWService,
                                             reinterpret_cast<void**>(&l_pService)),
                  S_OK);
        l_pFactory->Release();
        return l_pService;
    }

    // The module is idle once no object and no worker thread of it is left.
    bool WaitUntilUnloadable()
    {
        const auto l_Deadline = std::chrono::steady_clock::now() + 20s;
        while (s_pCanUnloadNow() != S_OK) {
            if (std::chrono::steady_clock::now() > l_Deadline) {
                return false;
            }
            std::this_thread::sleep_for(10ms);
        }
        return true;
    }

    static void TearDownTestSuite() { s_Apartment.reset(); }

    static std::optional<platform::win32::ComApartment> s_Apartment;
    static HMODULE s_hModule;
    static GetClassObject s_pGetClassObject;
    static CanUnloadNow s_pCanUnloadNow;
    static std::mutex s_Mutex;
    static std::condition_variable s_MessageShown;
    static std::vector<std::wstring> s_Messages;
};

std::optional<platform::win32::ComApartment> ComModuleTest::s_Apartment;
HMODULE ComModuleTest::s_hModule = nullptr;
ComModuleTest::GetClassObject ComModuleTest::s_pGetClassObject = nullptr;
ComModuleTest::CanUnloadNow ComModuleTest::s_pCanUnloadNow = nullptr;
std::mutex ComModuleTest::s_Mutex;
std::condition_variable ComModuleTest::s_MessageShown;
std::vector<std::wstring> ComModuleTest::s_Messages;

TEST_F(ComModuleTest, HandsOutTheFactoryOfItsOneClassOnly)
{
    void* l_pObject = reinterpret_cast<void*>(1);
    EXPECT_EQ(s_pGetClassObject(IID_IVWService, IID_IClassFactory, &l_pObject),
              CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(l_pObject, nullptr);
}

TEST_F(ComModuleTest, AnswersItsInterfacesAndNoOthers)
{
    IVWService* l_pService = Create();
    IConnectionPointContainer* l_pContainer = nullptr;
    EXPECT_EQ(l_pService->QueryInterface(IID_IConnectionPointContainer,
                                         reinterpret_cast<void**>(&l_pContainer)),
              S_OK);
    IMarshal* l_pMarshal = nullptr;
    ASSERT_EQ(l_pService->QueryInterface(IID_IMarshal, reinterpret_cast<void**>(&l_pMarshal)),
              S_OK);
    CLSID l_Unmarshaler = {};
    EXPECT_EQ(l_pMarshal->GetUnmarshalClass(IID_IVWService, l_pService, MSHCTX_INPROC, nullptr,
                                            MSHLFLAGS_NORMAL, &l_Unmarshaler),
              S_OK);
    // The free-threaded marshaler's unmarshal class ({0000033A-...}; MinGW's uuid library gives
    // CLSID_InProcFreeMarshaler another value).
    const CLSID l_FreeThreadedUnmarshaler = {
        0x0000033A, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
    EXPECT_TRUE(IsEqualCLSID(l_Unmarshaler, l_FreeThreadedUnmarshaler));
    void* l_pDispatch = nullptr;
    EXPECT_EQ(l_pService->QueryInterface(IID_IDispatch, &l_pDispatch), E_NOINTERFACE);
    l_pMarshal->Release();
    l_pContainer->Release();
    EXPECT_EQ(l_pService->Release(), 0u);
}

TEST_F(ComModuleTest, ReportsFixedStatesAndStopsWithoutAStart)
{
    IVWService* l_pService = Create();
    tagSERVER_STATE l_State = SERVER_DOWN;
    LONG l_nLiveCounter = 41;
    EXPECT_EQ(l_pService->SPing(&l_nLiveCounter, &l_State), S_OK);
    EXPECT_EQ(l_State, SERVER_ACTIVE);
    EXPECT_EQ(l_nLiveCounter, 41);
    EXPECT_EQ(l_pService->SInitServer(0, &l_State), S_OK);
    EXPECT_EQ(l_State, SERVER_ON_INIT);
    EXPECT_EQ(l_pService->SStopServer(), S_OK);
    EXPECT_EQ(l_pService->SStopServer(), S_OK);
    EXPECT_EQ(l_pService->SShutDown(1), S_OK);
    EXPECT_EQ(l_pService->SExitServer(), S_OK);
    l_pService->Release();
}

TEST_F(ComModuleTest, VersionInfoComesFromTheModulesVersionResource)
{
    IVWService* l_pService = Create();
    BSTR l_bstrDescription = nullptr;
    BSTR l_bstrVersion = nullptr;
    ASSERT_EQ(l_pService->SVersionInfo(&l_bstrDescription, &l_bstrVersion), S_OK);
    EXPECT_STREQ(l_bstrDescription, L"Vexa hardware-health monitor");
    EXPECT_STREQ(l_bstrVersion, L"4,0,11,0");
    SysFreeString(l_bstrDescription);
    SysFreeString(l_bstrVersion);
    l_pService->Release();
}

TEST_F(ComModuleTest, VersionTextsHaveTheirDefaults)
{
    // This test program's own version resource has a file version and no description.
    const auto l_Texts = ReadModuleVersionTexts(GetModuleHandleW(nullptr));
    ASSERT_TRUE(l_Texts.has_value());
    EXPECT_EQ(l_Texts->m_strDescription, L"TestDLL");
    EXPECT_EQ(l_Texts->m_strVersion, L"1,2,3,4");
}

TEST_F(ComModuleTest, HasNoConnectionPoints)
{
    IVWService* l_pService = Create();
    IConnectionPointContainer* l_pContainer = nullptr;
    ASSERT_EQ(l_pService->QueryInterface(IID_IConnectionPointContainer,
                                         reinterpret_cast<void**>(&l_pContainer)),
              S_OK);
    IConnectionPoint* l_pPoint = reinterpret_cast<IConnectionPoint*>(1);
    EXPECT_EQ(l_pContainer->FindConnectionPoint(IID_IVWServiceEvents, &l_pPoint),
              CONNECT_E_NOCONNECTION);
    EXPECT_EQ(l_pPoint, nullptr);
    IEnumConnectionPoints* l_pEnum = nullptr;
    ASSERT_EQ(l_pContainer->EnumConnectionPoints(&l_pEnum), S_OK);
    ULONG l_nFetched = 7;
    EXPECT_EQ(l_pEnum->Next(1, &l_pPoint, &l_nFetched), S_FALSE);
    EXPECT_EQ(l_nFetched, 0u);
    l_pEnum->Release();
    l_pContainer->Release();
    l_pService->Release();
}

// An outer object that counts the calls its aggregated inner object delegates to it.
class Outer : public IUnknown {
public:
    STDMETHODIMP QueryInterface(REFIID p_riid, void** p_ppv) override
    {
        ++m_nQueries;
        if (IsEqualIID(p_riid, IID_IUnknown)) {
            *p_ppv = this;
            return S_OK;
        }
        return m_pInner != nullptr ? m_pInner->QueryInterface(p_riid, p_ppv) : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }

    IUnknown* m_pInner = nullptr;
    int m_nQueries = 0;
};

TEST_F(ComModuleTest, CanBeAggregated)
{
    IClassFactory* l_pFactory = Factory();
    Outer l_Outer;
    void* l_pObject = nullptr;
    EXPECT_EQ(l_pFactory->CreateInstance(&l_Outer, IID_IVWService, &l_pObject),
              CLASS_E_NOAGGREGATION);
    ASSERT_EQ(l_pFactory->CreateInstance(&l_Outer, IID_IUnknown,
                                         reinterpret_cast<void**>(&l_Outer.m_pInner)),
              S_OK);
    l_pFactory->Release();
    IVWService* l_pService = nullptr;
    ASSERT_EQ(
        l_Outer.m_pInner->QueryInterface(IID_IVWService, reinterpret_cast<void**>(&l_pService)),
        S_OK);
    // The interface's own QueryInterface goes to the outer object.
    const int l_nQueries = l_Outer.m_nQueries;
    void* l_pContainer = nullptr;
    EXPECT_EQ(l_pService->QueryInterface(IID_IConnectionPointContainer, &l_pContainer), S_OK);
    EXPECT_EQ(l_Outer.m_nQueries, l_nQueries + 1);
    l_Outer.m_pInner->Release();
}

TEST_F(ComModuleTest, UnloadsOnlyWithoutObjectsOrLocks)
{
    ASSERT_TRUE(WaitUntilUnloadable());
    IVWService* l_pService = Create();
    EXPECT_EQ(s_pCanUnloadNow(), S_FALSE);
    l_pService->Release();
    EXPECT_EQ(s_pCanUnloadNow(), S_OK);
    IClassFactory* l_pFactory = Factory();
    l_pFactory->LockServer(TRUE);
    EXPECT_EQ(s_pCanUnloadNow(), S_FALSE);
    l_pFactory->LockServer(FALSE);
    l_pFactory->Release();
    EXPECT_EQ(s_pCanUnloadNow(), S_OK);
}

// A copy of the module under its own name, registered as the class's server for the life of
// the object, so that COM itself loads it (and may unload it) apart from the test's own copy.
class ComLoadedCopy {
public:
    ComLoadedCopy()
        : m_strPath(ExecutableFolder() + L"VW_Vexa_com_loaded.dll"),
          m_strClassKey(L"CLSID\\" + GuidText(CLSID_VW_ZorbelObj))
    {
        m_bReady = CopyFileW((ExecutableFolder() + L"VW_Vexa.dll").c_str(), m_strPath.c_str(),
                             FALSE) != FALSE &&
                   WriteServerKey();
    }
    ~ComLoadedCopy()
    {
        RegDeleteTreeW(HKEY_CLASSES_ROOT, m_strClassKey.c_str());
        DeleteFileW(m_strPath.c_str());
    }
    ComLoadedCopy(const ComLoadedCopy&) = delete;
    ComLoadedCopy& operator=(const ComLoadedCopy&) = delete;

    bool Ready() const { return m_bReady; }
    bool Loaded() const { return GetModuleHandleW(m_strPath.c_str()) != nullptr; }

private:
    static std::wstring GuidText(REFGUID p_Guid)
    {
        wchar_t l_szText[40] = {};
        StringFromGUID2(p_Guid, l_szText, 40);
        return l_szText;
    }

    bool WriteServerKey() const
    {
        platform::win32::UniqueRegistryKey l_Key;
        if (RegCreateKeyExW(HKEY_CLASSES_ROOT, (m_strClassKey + L"\\InprocServer32").c_str(), 0,
                            nullptr, 0, KEY_WRITE, nullptr, l_Key.Put(),
                            nullptr) != ERROR_SUCCESS) {
            return false;
        }
        const std::wstring l_strModel = L"Both";
        return RegSetValueExW(l_Key.Get(), nullptr, 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(m_strPath.c_str()),
                              static_cast<DWORD>((m_strPath.size() + 1) * sizeof(wchar_t))) ==
                   ERROR_SUCCESS &&
               RegSetValueExW(l_Key.Get(), L"ThreadingModel", 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(l_strModel.c_str()),
                              static_cast<DWORD>((l_strModel.size() + 1) * sizeof(wchar_t))) ==
                   ERROR_SUCCESS;
    }

    std::wstring m_strPath;
    std::wstring m_strClassKey;
    bool m_bReady = false;
};

TEST_F(ComModuleTest, AHeldClassFactoryKeepsTheModuleLoaded)
{
    ComLoadedCopy l_Copy;
    ASSERT_TRUE(l_Copy.Ready());
    IClassFactory* l_pFactory = nullptr;
    ASSERT_EQ(CoGetClassObject(CLSID_VW_ZorbelObj, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                               reinterpret_cast<void**>(&l_pFactory)),
              S_OK);
    ASSERT_TRUE(l_Copy.Loaded());
    // A client that holds the factory without a server lock may still create objects with it.
    CoFreeUnusedLibrariesEx(0, 0);
    ASSERT_TRUE(l_Copy.Loaded()) << "the module was unloaded under a held class factory";
    IVWService* l_pService = nullptr;
    ASSERT_EQ(
        l_pFactory->CreateInstance(nullptr, IID_IVWService, reinterpret_cast<void**>(&l_pService)),
        S_OK);
    tagSERVER_STATE l_State = SERVER_DOWN;
    LONG l_nLiveCounter = 0;
    EXPECT_EQ(l_pService->SPing(&l_nLiveCounter, &l_State), S_OK);
    EXPECT_EQ(l_State, SERVER_ACTIVE);
    l_pFactory->Release();
    CoFreeUnusedLibrariesEx(0, 0);
    EXPECT_TRUE(l_Copy.Loaded());
    l_pService->Release();
    // With nothing held any more, the module may go.
    CoFreeUnusedLibrariesEx(0, 0);
    EXPECT_FALSE(l_Copy.Loaded());
}

TEST_F(ComModuleTest, StartWithoutARunningHmiReportsTheLookUpAndStopsCleanly)
{
    IVWService* l_pService = Create();
    tagSERVER_STATE l_State = SERVER_DOWN;
    ASSERT_EQ(l_pService->SStartServer(0, &l_State), S_OK);
    EXPECT_EQ(l_State, SERVER_ACTIVE);
    {
        std::unique_lock<std::mutex> l_Lock(s_Mutex);
        ASSERT_TRUE(s_MessageShown.wait_for(l_Lock, 20s, [] { return !s_Messages.empty(); }));
        const std::wstring l_strPrefix =
            L"Error:\r\nGetRunningObject\r\nat:\r\nMBBroadcast::VisiWin::ConnectVisu  line: ";
        EXPECT_EQ(s_Messages.front().compare(0, l_strPrefix.size(), l_strPrefix), 0)
            << "message: " << std::string(s_Messages.front().begin(), s_Messages.front().end());
    }
    // Still reported as active: the state is a fixed answer.
    LONG l_nLiveCounter = 0;
    EXPECT_EQ(l_pService->SPing(&l_nLiveCounter, &l_State), S_OK);
    EXPECT_EQ(l_State, SERVER_ACTIVE);
    EXPECT_EQ(l_pService->SStopServer(), S_OK);
    l_pService->Release();
    EXPECT_TRUE(WaitUntilUnloadable());
}

TEST_F(ComModuleTest, ReleasingAStartedObjectStopsItsWorker)
{
    IVWService* l_pService = Create();
    tagSERVER_STATE l_State = SERVER_DOWN;
    ASSERT_EQ(l_pService->SStartServer(0, &l_State), S_OK);
    ASSERT_EQ(l_pService->SStartServer(0, &l_State), S_OK);
    l_pService->Release();
    EXPECT_TRUE(WaitUntilUnloadable());
}

}  // namespace
