#include "service/com/class_factory.h"

#include <atomic>
#include <new>

#include "service/com/module.h"
#include "service/com/zorbel_obj.h"

namespace {

class ZorbelClassFactory final : public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID p_riid, void** p_ppv) override
    {
        if (p_ppv == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(p_riid, IID_IUnknown) || IsEqualIID(p_riid, IID_IClassFactory)) {
            *p_ppv = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *p_ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_nRefs; }
    STDMETHODIMP_(ULONG) Release() override
    {
        const ULONG l_nRefs = --m_nRefs;
        if (l_nRefs == 0) {
            delete this;
        }
        return l_nRefs;
    }

    STDMETHODIMP CreateInstance(IUnknown* p_pOuter, REFIID p_riid, void** p_ppv) override
    {
        return CVW_ZorbelObj::Create(p_pOuter, p_riid, p_ppv);
    }
    STDMETHODIMP LockServer(BOOL p_bLock) override
    {
        if (p_bLock) {
            CVW_ZorbelApp::Instance().Lock();
        } else {
            CVW_ZorbelApp::Instance().Unlock();
        }
        return S_OK;
    }

private:
    ~ZorbelClassFactory() = default;

    std::atomic<ULONG> m_nRefs{1};
};

}  // namespace

HRESULT GetZorbelClassFactory(REFIID p_riid, void** p_ppv)
{
    if (p_ppv == nullptr) {
        return E_POINTER;
    }
    *p_ppv = nullptr;
    ZorbelClassFactory* l_pFactory = new (std::nothrow) ZorbelClassFactory();
    if (l_pFactory == nullptr) {
        return E_OUTOFMEMORY;
    }
    const HRESULT l_hr = l_pFactory->QueryInterface(p_riid, p_ppv);
    l_pFactory->Release();
    return l_hr;
}
