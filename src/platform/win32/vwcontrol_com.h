#pragma once

// COM declarations of the HMI runtime shared by the monitor's client side and by the substitute
// runtime that vexa-host and the tests serve (standins/win32/vwcontrol_server.h).

#include <windows.h>
#include <objbase.h>
#include <wrl/client.h>

#include <cstddef>
#include <memory>

#include "platform/hmi_runtime.h"
#include "vwcontrol.h"

namespace platform::win32 {

// The runtime's coclass, whose running instance the monitor looks for.
inline constexpr CLSID kClsidVWControl = {
    0x5BE21342, 0x224B, 0x11D2, {0x97, 0xEA, 0x00, 0xA0, 0x24, 0xA8, 0xF6, 0xA1}};

// The engine manager: created by ProgID, it knows the runtime objects it has started.
inline constexpr wchar_t kEngineManagerProgId[] = L"VWEManager.Controller.1";
inline constexpr DWORD kEngineManagerContext =
    CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;
static_assert(kEngineManagerContext == 0x17, "every class context");

inline constexpr IID kIidEngineController = {
    0xF349FB96, 0x1FBE, 0x11D2, {0xB5, 0x66, 0x00, 0x60, 0x08, 0x10, 0x3D, 0xE4}};

// The engine manager's controller interface. Only its running-object query, the third method
// after IUnknown's, is called; the two methods before it are not used and their signatures are
// not ours to know.
struct IVWEngineController : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Reserved1() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved2() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetRunningObject(CLSID clsid, IUnknown** object) = 0;
};

// The runtime's value type must keep the layout the runtime was built with.
static_assert(sizeof(tagVISIVARIANT) == 16, "tagVISIVARIANT is 16 bytes");
static_assert(offsetof(tagVISIVARIANT, vt) == 0, "type code first");
static_assert(offsetof(tagVISIVARIANT, lVal) == 8, "value union at offset 8");
static_assert(offsetof(tagVISIVARIANT, dftVal) == 8, "value union at offset 8");
static_assert(sizeof(tagVISIVARIANT) == sizeof(VisiVariant), "portable mirror has the same size");
static_assert(ON_NEVER == static_cast<int>(MessageMode::OnNever), "message modes agree");
static_assert(ON_CHANGE == static_cast<int>(MessageMode::OnChange), "message modes agree");

}  // namespace platform::win32
