#include "fakes/engine_manager_win32.h"

#include <memory>
#include <utility>

#include "platform/win32/com_object.h"
#include "platform/win32/unique_resource.h"

namespace fakes {
namespace {

using Microsoft::WRL::ComPtr;

const wchar_t kProgId[] = L"VWEManager.Controller.1";

class Manager final : public platform::win32::ComObject<platform::win32::IVWEngineController,
                                                        platform::win32::kIidEngineController> {
public:
    explicit Manager(std::shared_ptr<EngineManagerRegistration::State> state)
        : m_pState(std::move(state))
    {
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override
    {
        if (!m_pState->offerController && IsEqualIID(riid, platform::win32::kIidEngineController)) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        return ComObject::QueryInterface(riid, object);
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
    std::shared_ptr<EngineManagerRegistration::State> m_pState;
};

class Factory final : public platform::win32::ComObject<IClassFactory, IID_IClassFactory> {
public:
    explicit Factory(std::shared_ptr<EngineManagerRegistration::State> state)
        : m_pState(std::move(state))
    {
    }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override
    {
        *object = nullptr;
        if (outer != nullptr) {
            return CLASS_E_NOAGGREGATION;
        }
        ++m_pState->created;
        const auto manager = platform::win32::MakeComObject<Manager>(m_pState);
        return manager ? manager->QueryInterface(riid, object) : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    std::shared_ptr<EngineManagerRegistration::State> m_pState;
};

}  // namespace

void EngineManagerRegistration::RegisterProgIdOnly(const CLSID& clsid)
{
    wchar_t text[64] = {};
    StringFromGUID2(clsid, text, 64);
    platform::win32::UniqueRegistryKey key;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, L"VWEManager.Controller.1\\CLSID", 0, nullptr, 0,
                        KEY_WRITE, nullptr, key.Put(), nullptr) == ERROR_SUCCESS) {
        RegSetValueExW(key.Get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                       static_cast<DWORD>((lstrlenW(text) + 1) * sizeof(wchar_t)));
    }
}

void EngineManagerRegistration::RemoveProgId()
{
    RegDeleteTreeW(HKEY_CLASSES_ROOT, kProgId);
}

EngineManagerRegistration::EngineManagerRegistration() : m_pState(std::make_shared<State>())
{
    RegisterProgIdOnly(kClsidSubstituteManager);
    const ComPtr<Factory> factory = platform::win32::MakeComObject<Factory>(m_pState);
    m_hrResult = CoRegisterClassObject(kClsidSubstituteManager, factory.Get(), CLSCTX_LOCAL_SERVER,
                                       REGCLS_MULTIPLEUSE, &m_dwCookie);
}

EngineManagerRegistration::~EngineManagerRegistration()
{
    if (SUCCEEDED(m_hrResult)) {
        CoRevokeClassObject(m_dwCookie);
    }
    RemoveProgId();
}

}  // namespace fakes
