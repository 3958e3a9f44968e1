#pragma once

#include <functional>
#include <memory>

#include "platform/handle.h"

namespace utils {

// Shared ownership of one system handle. Copies share a record holding the handle; the last
// copy to go closes it through the function given with it, the close of the family that made
// the handle. The handle is given once, at construction, right after the call that created it,
// so no path between the two can lose it. Null and invalid values are never passed to the
// close function: they stand for a failed call and own nothing.
class ScopedHandle {
public:
    using CloseFunction = std::function<void(platform::Handle)>;

    ScopedHandle(platform::Handle p_hHandle, CloseFunction p_fnClose);

    platform::Handle Get() const { return m_pValue->m_hHandle; }
    bool IsValid() const { return platform::IsUsableHandle(m_pValue->m_hHandle); }

private:
    struct HandleValue {
        HandleValue(platform::Handle p_hHandle, CloseFunction p_fnClose);
        ~HandleValue();
        HandleValue(const HandleValue&) = delete;
        HandleValue& operator=(const HandleValue&) = delete;

        platform::Handle m_hHandle;
        CloseFunction m_fnClose;
    };

    std::shared_ptr<HandleValue> m_pValue;
};

}  // namespace utils
