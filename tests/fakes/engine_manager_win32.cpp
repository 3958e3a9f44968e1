#include "fakes/engine_manager_win32.h"

#include <atomic>
#include <memory>
#include <utility>

namespace fakes {
namespace {

using Microsoft::WRL::ComPtr;

const wchar_t kProgId[] = L"VWEManager.Controller.1";

class Manager : public platform::win32::IVWEngineController {
public:
    explicit Manager(std::shared_ptr<EngineManagerRegistration::State> state)
        : m_pState(std::move(state))
    {
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override
    {
        *object = nullptr;
        if (IsEqualIID(riid, IID_IUnknown) ||
            (m_pState->offerController &&
             IsEqualIID(riid, platform::win32::kIidEngineController))) {
            *object = static_cast<platform::win32::IVWEngineController*>(this);
            AddRef();
            return S_OK;
        }
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_nReferences; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG count = --m_nReferences;
        if (count == 0) {
            delete this;
        }
        return count;
    }
    HRESULT STDMETHODCALLTYPE Reserved1() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved2() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetRunningObject(CLSID clsid, IUnknown** object) override
    {
        m_pState->askedFor.push_back(clsid);
        if (m_pState->runningObject) {
            m_pState->runningObject.CopyTo(object);
        }
        return m_pState->queryResult;
    }

private:
    virtual ~Manager() = default;
    std::atomic<ULONG> m_nReferences{1};
    std::shared_ptr<EngineManagerRegistration::State> m_pState;
};

class Factory : public IClassFactory {
public:
    explicit Factory(std::shared_ptr<EngineManagerRegistration::State> state)
        : m_pState(std::move(state))
    {
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override
    {
        *object = nullptr;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
            *object = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_nReferences; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG count = --m_nReferences;
        if (count == 0) {
            delete this;
        }
        return count;
    }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override
    {
        *object = nullptr;
        if (outer != nullptr) {
            return CLASS_E_NOAGGREGATION;
        }
        ++m_pState->created;
        ComPtr<platform::win32::IVWEngineController> manager;
        manager.Attach(new Manager(m_pState));
        return manager->QueryInterface(riid, object);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    virtual ~Factory() = default;
    std::atomic<ULONG> m_nReferences{1};
    std::shared_ptr<EngineManagerRegistration::State> m_pState;
};

}  // namespace

void EngineManagerRegistration::RegisterProgIdOnly(const CLSID& clsid)
{
    wchar_t text[64] = {};
    StringFromGUID2(clsid, text, 64);
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, L"VWEManager.Controller.1\\CLSID", 0, nullptr, 0,
                        KEY_WRITE, nullptr, &key, nullptr) == ERROR_SUCCESS) {
        RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                       static_cast<DWORD>((lstrlenW(text) + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
}

void EngineManagerRegistration::RemoveProgId()
{
    RegDeleteTreeW(HKEY_CLASSES_ROOT, kProgId);
}

EngineManagerRegistration::EngineManagerRegistration()
    : m_pState(std::make_shared<State>())
{
    RegisterProgIdOnly(kClsidSubstituteManager);
    ComPtr<IClassFactory> factory;
    factory.Attach(new Factory(m_pState));
    m_hrResult = CoRegisterClassObject(kClsidSubstituteManager, factory.Get(),
                                       CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &m_dwCookie);
}

EngineManagerRegistration::~EngineManagerRegistration()
{
    if (SUCCEEDED(m_hrResult)) {
        CoRevokeClassObject(m_dwCookie);
    }
    RemoveProgId();
}

}  // namespace fakes
