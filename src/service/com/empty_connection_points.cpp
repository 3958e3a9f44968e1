#include "service/com/empty_connection_points.h"

#include <atomic>
#include <new>

#include "service/com/module.h"

namespace {

class EmptyConnectionPoints final : public IEnumConnectionPoints {
public:
    STDMETHODIMP QueryInterface(REFIID p_riid, void** p_ppv) override
    {
        if (p_ppv == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(p_riid, IID_IUnknown) || IsEqualIID(p_riid, IID_IEnumConnectionPoints)) {
            *p_ppv = static_cast<IEnumConnectionPoints*>(this);
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

    STDMETHODIMP Next(ULONG p_nCount, IConnectionPoint** p_ppCP, ULONG* p_pnFetched) override
    {
        if (p_pnFetched != nullptr) {
            *p_pnFetched = 0;
        }
        if (p_nCount > 0 && p_ppCP == nullptr) {
            return E_POINTER;
        }
        return p_nCount == 0 ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG p_nCount) override { return p_nCount == 0 ? S_OK : S_FALSE; }
    STDMETHODIMP Reset() override { return S_OK; }
    STDMETHODIMP Clone(IEnumConnectionPoints** p_ppEnum) override
    {
        return CreateEmptyConnectionPointEnum(p_ppEnum);
    }

private:
    ~EmptyConnectionPoints() = default;

    ModuleLock m_ModuleLock;
    std::atomic<ULONG> m_nRefs{1};
};

}  // namespace

HRESULT CreateEmptyConnectionPointEnum(IEnumConnectionPoints** p_ppEnum)
{
    if (p_ppEnum == nullptr) {
        return E_POINTER;
    }
    *p_ppEnum = new (std::nothrow) EmptyConnectionPoints();
    return *p_ppEnum != nullptr ? S_OK : E_OUTOFMEMORY;
}
