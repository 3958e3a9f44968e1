#pragma once

// The substitute runtime served through COM: vexa-host.exe and the tests register it as the
// running VWControl, so the monitor finds it as it finds the real runtime.

#include <windows.h>
#include <wrl/client.h>

#include <memory>

#include "platform/hmi_runtime.h"
#include "platform/win32/vwcontrol_com.h"

namespace platform::win32 {

// The substitute side: a COM object implementing IVWControl over `control`, which receives every
// call with the caller's arguments unchanged (the value's 16 bytes as sent). Methods the monitor
// never calls answer E_NOTIMPL. The object aggregates the free-threaded marshaler, so callers in
// other apartments of the process reach it directly.
Microsoft::WRL::ComPtr<IUnknown> CreateVWControlObject(std::shared_ptr<HmiControl> control);

// Registers an object in the running object table as the running VWControl for the life of the
// registration (RegisterActiveObject, strong; revoked on destruction).
class ActiveVWControlRegistration {
public:
    explicit ActiveVWControlRegistration(IUnknown* object);
    ~ActiveVWControlRegistration();
    ActiveVWControlRegistration(const ActiveVWControlRegistration&) = delete;
    ActiveVWControlRegistration& operator=(const ActiveVWControlRegistration&) = delete;

    HRESULT Result() const { return m_hrResult; }

private:
    HRESULT m_hrResult = E_FAIL;
    DWORD m_dwRegister = 0;
};

}  // namespace platform::win32
