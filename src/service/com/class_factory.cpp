#include "service/com/class_factory.h"

#include "platform/win32/com_object.h"
#include "service/com/module.h"
#include "service/com/zorbel_obj.h"

namespace {

class ZorbelClassFactory final
    : public platform::win32::ComObject<IClassFactory, IID_IClassFactory> {
public:
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
    // A client that holds the factory may create objects at any time: the module stays loaded
    // while the factory lives, as while an object or a server lock does.
    ModuleLock m_ModuleLock;
};

}  // namespace

HRESULT GetZorbelClassFactory(REFIID p_riid, void** p_ppv)
{
    if (p_ppv == nullptr) {
        return E_POINTER;
    }
    *p_ppv = nullptr;
    const auto l_pFactory = platform::win32::MakeComObject<ZorbelClassFactory>();
    return l_pFactory ? l_pFactory->QueryInterface(p_riid, p_ppv) : E_OUTOFMEMORY;
}
