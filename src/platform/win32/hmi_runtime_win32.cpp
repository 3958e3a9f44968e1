#include "platform/win32/vwcontrol_com.h"

#include <ole2.h>
#include <oleauto.h>

#include <cstring>
#include <utility>

#include "platform/hmi_runtime.h"
#include "platform/win32/unique_resource.h"

namespace platform {
namespace {

using Microsoft::WRL::ComPtr;
using win32::IVWEngineController;
using win32::UniqueBstr;

class ComControl : public HmiControl {
public:
    explicit ComControl(ComPtr<IVWControl> control) : m_pControl(std::move(control)) {}

    HResult Connect(std::uint32_t clientCookie) override
    {
        return m_pControl->Connect(clientCookie);
    }

    HResult Disconnect(std::uint32_t clientCookie) override
    {
        return m_pControl->Disconnect(clientCookie);
    }

    HResult CheckInByName(std::uint32_t cookie, const std::wstring& name, MessageMode mode,
                          std::int32_t handle, std::int32_t& varNo) override
    {
        const UniqueBstr l_bsName(SysAllocStringLen(name.data(), static_cast<UINT>(name.size())));
        if (l_bsName.Get() == nullptr) {
            return E_OUTOFMEMORY;
        }
        int l_nVarNo = 0;
        int l_nVarType = 0;
        int l_nDrvType = 0;
        int l_nVarCount = 0;
        tagVISIVARIANT l_vvValue{};
        UniqueBstr l_bstrText;
        const HRESULT hr = m_pControl->CheckInByName(
            cookie, l_bsName.Get(), static_cast<tagMESSAGE_MODE>(mode), handle, &l_nVarNo,
            &l_nVarType, &l_nDrvType, &l_nVarCount, &l_vvValue, l_bstrText.Put());
        varNo = l_nVarNo;
        return hr;
    }

    HResult CheckOut(std::uint32_t cookie, std::int32_t varNo) override
    {
        return m_pControl->CheckOut(cookie, varNo);
    }

    HResult SetValue(std::int32_t varNo, const VisiVariant& value) override
    {
        tagVISIVARIANT l_vvValue;
        std::memcpy(&l_vvValue, &value, sizeof l_vvValue);
        return m_pControl->SetValue(varNo, l_vvValue, nullptr);
    }

private:
    ComPtr<IVWControl> m_pControl;
};

class ComObject : public HmiObject {
public:
    explicit ComObject(ComPtr<IUnknown> object) : m_pObject(std::move(object)) {}

    HResult QueryControl(std::shared_ptr<HmiControl>& control) override
    {
        ComPtr<IVWControl> l_pControl;
        const HRESULT hr = m_pObject->QueryInterface(
            IID_IVWControl, reinterpret_cast<void**>(l_pControl.GetAddressOf()));
        if (l_pControl) {
            control = std::make_shared<ComControl>(std::move(l_pControl));
        } else {
            control.reset();
        }
        return hr;
    }

private:
    ComPtr<IUnknown> m_pObject;
};

// Creates the engine manager from its ProgID, runs it and asks for its controller interface.
// The result tells the caller whether to fall back to the running object table.
HRESULT CreateEngineController(ComPtr<IVWEngineController>& controller)
{
    const wchar_t* progId = win32::kEngineManagerProgId;
    CLSID clsid;
    HRESULT hr =
        progId[0] == L'{' ? CLSIDFromString(progId, &clsid) : CLSIDFromProgID(progId, &clsid);
    if (FAILED(hr)) {
        return hr;
    }
    ComPtr<IUnknown> l_pManager;
    hr = CoCreateInstance(clsid, nullptr, win32::kEngineManagerContext, IID_IUnknown,
                          reinterpret_cast<void**>(l_pManager.GetAddressOf()));
    if (FAILED(hr)) {
        return hr;
    }
    hr = OleRun(l_pManager.Get());
    if (FAILED(hr)) {
        return hr;
    }
    return l_pManager->QueryInterface(win32::kIidEngineController,
                                      reinterpret_cast<void**>(controller.GetAddressOf()));
}

// Finds a running object of `clsid`: through the engine manager, or, when the manager cannot be
// created, through the running object table. The fallback reports failure even when it found
// the object; the caller looks at `object`.
bool GetRunningObject(const CLSID& clsid, IUnknown** object)
{
    if (object == nullptr || IsEqualCLSID(clsid, GUID_NULL)) {
        return false;
    }
    *object = nullptr;
    ComPtr<IVWEngineController> l_pController;
    const HRESULT hr = CreateEngineController(l_pController);
    if (SUCCEEDED(hr) && l_pController) {
        return l_pController->GetRunningObject(clsid, object) >= 0;
    }
    // A manager without the controller interface is a different product: do not look further.
    if (hr != E_NOINTERFACE) {
        GetActiveObject(clsid, nullptr, object);
    }
    return false;
}

class ComRuntime : public HmiRuntime {
public:
    bool GetRunningObject(std::shared_ptr<HmiObject>& object) override
    {
        ComPtr<IUnknown> l_pObject;
        const bool found =
            platform::GetRunningObject(win32::kClsidVWControl, l_pObject.GetAddressOf());
        if (l_pObject) {
            object = std::make_shared<ComObject>(std::move(l_pObject));
        } else {
            object.reset();
        }
        return found;
    }
};

}  // namespace

HmiRuntime& HmiRuntime::System()
{
    static ComRuntime s_Runtime;
    return s_Runtime;
}

}  // namespace platform
