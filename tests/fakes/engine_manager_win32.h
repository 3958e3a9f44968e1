#pragma once

#include "platform/win32/vwcontrol_com.h"

#include <memory>
#include <string>
#include <vector>

namespace fakes {

// A substitute of the HMI runtime's engine manager for COM tests: registers its class object in
// this process (CoRegisterClassObject) and the ProgID "VWEManager.Controller.1" for that class in
// the registry, both undone on destruction. Its controller answers the running-object query with
// `runningObject` and records the class identifiers it was asked for.
class EngineManagerRegistration {
public:
    struct State {
        Microsoft::WRL::ComPtr<IUnknown> runningObject;
        HRESULT queryResult = S_OK;
        // Without it the manager lacks the controller interface.
        bool offerController = true;
        std::vector<CLSID> askedFor;
        int created = 0;
    };

    EngineManagerRegistration();
    ~EngineManagerRegistration();
    EngineManagerRegistration(const EngineManagerRegistration&) = delete;
    EngineManagerRegistration& operator=(const EngineManagerRegistration&) = delete;

    // Registers only the ProgID, for a class that no server provides.
    static void RegisterProgIdOnly(const CLSID& clsid);
    static void RemoveProgId();

    HRESULT Result() const { return m_hrResult; }
    State& state() { return *m_pState; }

private:
    std::shared_ptr<State> m_pState;
    DWORD m_dwCookie = 0;
    HRESULT m_hrResult = E_FAIL;
};

// The class identifier under which the substitute manager registers.
inline constexpr CLSID kClsidSubstituteManager = {
    0x6A1D2C30, 0x5F4E, 0x4B7A, {0x9C, 0x11, 0x2E, 0x44, 0x51, 0x7B, 0x90, 0x3D}};

}  // namespace fakes
