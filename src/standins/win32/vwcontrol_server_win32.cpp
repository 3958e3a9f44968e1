#include "standins/win32/vwcontrol_server.h"

#include <oleauto.h>

#include <cstring>
#include <utility>

#include "platform/win32/com_object.h"

namespace platform::win32 {
namespace {

using Microsoft::WRL::ComPtr;

// IVWControl over a portable HmiControl: the substitute runtime that vexa-host and the tests serve
// to the monitor through COM.
class VWControlObject final : public ComObject<IVWControl, IID_IVWControl> {
public:
    explicit VWControlObject(std::shared_ptr<HmiControl> control) : m_pControl(std::move(control))
    {
    }

    HRESULT Initialise()
    {
        return CoCreateFreeThreadedMarshaler(this, m_pMarshaler.GetAddressOf());
    }

    HRESULT STDMETHODCALLTYPE StartEngine(ULONG, tagENGINE_MODE, BSTR) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetRunMode(int*, int*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetActualProject(BSTR*) override { return E_NOTIMPL; }

    HRESULT STDMETHODCALLTYPE SetValue(int nVarNo, tagVISIVARIANT vvValue, BSTR) override
    {
        VisiVariant value;
        std::memcpy(static_cast<void*>(&value), &vvValue, sizeof value);
        return m_pControl->SetValue(nVarNo, value);
    }

    HRESULT STDMETHODCALLTYPE GetValue(int, tagVISIVARIANT*, BSTR*) override { return E_NOTIMPL; }

    HRESULT STDMETHODCALLTYPE CheckInByName(ULONG dwCookie, BSTR bsName,
                                            tagMESSAGE_MODE MessageMode, LONG lHandle, int* pnVarNo,
                                            int* pnVarType, int* pnDrvType, int* pnVarCount,
                                            tagVISIVARIANT* pvvValue, BSTR* pbstrText) override
    {
        if (pnVarNo == nullptr || pnVarType == nullptr || pnDrvType == nullptr ||
            pnVarCount == nullptr || pvvValue == nullptr || pbstrText == nullptr) {
            return E_POINTER;
        }
        const std::wstring name(bsName != nullptr ? bsName : L"", SysStringLen(bsName));
        std::int32_t varNo = 0;
        const HRESULT hr = m_pControl->CheckInByName(
            dwCookie, name, static_cast<platform::MessageMode>(MessageMode), lHandle, varNo);
        *pnVarNo = varNo;
        *pnVarType = 0;
        *pnDrvType = 0;
        *pnVarCount = 1;
        std::memset(pvvValue, 0, sizeof *pvvValue);
        pvvValue->vt = kVisiTypeInt32;
        *pbstrText = nullptr;
        return hr;
    }

    HRESULT STDMETHODCALLTYPE CheckInByNo(ULONG, int, tagMESSAGE_MODE, LONG, tagVISIVARIANT*,
                                          BSTR*) override
    {
        return E_NOTIMPL;
    }

    HRESULT STDMETHODCALLTYPE CheckOut(ULONG dwCookie, int nVarNo) override
    {
        return m_pControl->CheckOut(dwCookie, nVarNo);
    }

    HRESULT STDMETHODCALLTYPE AddRunningForm(BSTR, int*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ReleaseRunningForm(int) override { return E_NOTIMPL; }

    HRESULT STDMETHODCALLTYPE Connect(ULONG dwClientCookie) override
    {
        return m_pControl->Connect(dwClientCookie);
    }

    HRESULT STDMETHODCALLTYPE Disconnect(ULONG dwClientCookie) override
    {
        return m_pControl->Disconnect(dwClientCookie);
    }

    HRESULT STDMETHODCALLTYPE SetArray(int, int, int, VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetArray(int, int, int, VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetObjectInfo(int, int*, VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetVarInfo(int*, int*, VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE StopEngine(ULONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetSystemAlarm(int, int, BSTR, DATE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ClearSystemAlarm(int, DATE) override { return E_NOTIMPL; }

protected:
    HRESULT QueryOtherInterface(REFIID riid, void** object) override
    {
        if (IsEqualIID(riid, IID_IMarshal) && m_pMarshaler) {
            return m_pMarshaler->QueryInterface(riid, object);
        }
        return E_NOINTERFACE;
    }

private:
    std::shared_ptr<HmiControl> m_pControl;
    ComPtr<IUnknown> m_pMarshaler;
};

}  // namespace

ComPtr<IUnknown> CreateVWControlObject(std::shared_ptr<HmiControl> control)
{
    if (!control) {
        return nullptr;
    }
    const ComPtr<VWControlObject> l_pObject = MakeComObject<VWControlObject>(std::move(control));
    if (l_pObject) {
        // Without the marshaler the object still works within its own apartment.
        l_pObject->Initialise();
    }
    return l_pObject;
}

ActiveVWControlRegistration::ActiveVWControlRegistration(IUnknown* object)
{
    if (object != nullptr) {
        m_hrResult =
            RegisterActiveObject(object, kClsidVWControl, ACTIVEOBJECT_STRONG, &m_dwRegister);
    } else {
        m_hrResult = E_POINTER;
    }
}

ActiveVWControlRegistration::~ActiveVWControlRegistration()
{
    if (SUCCEEDED(m_hrResult)) {
        RevokeActiveObject(m_dwRegister, nullptr);
    }
}

}  // namespace platform::win32
