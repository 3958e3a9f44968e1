#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "broadcast/broadcast.h"
#include "platform/hmi_runtime.h"

namespace MBBroadcast {

// A broadcast that writes into HMI variables of the running HMI runtime. The constructor
// connects (no retry, no reconnection); subclasses check in the variables they write; the
// destructor checks every stored variable out and disconnects.
class VisiWin : public Broadcast {
public:
    // Throws err::VisiWinException (code 2) when the runtime cannot be found or connected.
    VisiWin();
    ~VisiWin() override;

protected:
    // Finds the running runtime and connects to it; throws err::VisiWinException code 2.
    void ConnectVisu();
    // Checks in the HMI variable `p_strName` and returns its number; stores nothing. Throws
    // err::VisiWinException code 3 (not connected) or 1 (the runtime refused the name).
    std::int32_t VarConnect(const std::wstring& p_strName);
    // Writes `p_nValue` into the variable stored under `p_strKey`. A key that was never stored is
    // skipped; a failing write is ignored (the next cycle writes again). Throws
    // err::VisiWinException code 4 for a stored variable number of 0.
    void SetVwValue(const std::wstring& p_strKey, std::int32_t p_nValue);

    // Key under which a subclass writes -> variable number given by the runtime.
    std::map<std::wstring, std::int32_t> m_VarNoMap;

    // One connection shared by every VisiWin object; ConnectVisu replaces it.
    static inline std::shared_ptr<platform::HmiControl> m_pVisuInterface;
};

}  // namespace MBBroadcast
