#include "service/com/empty_connection_points.h"

#include "platform/win32/com_object.h"
#include "service/com/module.h"

namespace {

class EmptyConnectionPoints final
    : public platform::win32::ComObject<IEnumConnectionPoints, IID_IEnumConnectionPoints> {
public:
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
    ModuleLock m_ModuleLock;
};

}  // namespace

HRESULT CreateEmptyConnectionPointEnum(IEnumConnectionPoints** p_ppEnum)
{
    if (p_ppEnum == nullptr) {
        return E_POINTER;
    }
    *p_ppEnum = platform::win32::MakeComObject<EmptyConnectionPoints>().Detach();
    return *p_ppEnum != nullptr ? S_OK : E_OUTOFMEMORY;
}
