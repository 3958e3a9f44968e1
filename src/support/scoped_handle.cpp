#include "support/scoped_handle.h"

#include <utility>

namespace utils {

ScopedHandle::ScopedHandle(platform::Handle p_hHandle, CloseFunction p_fnClose)
try : m_pValue(std::make_shared<HandleValue>(p_hHandle, std::move(p_fnClose))) {
} catch (...) {
    // Out of memory for the record: the handle is still ours to close.
    if (platform::IsUsableHandle(p_hHandle) && p_fnClose) {
        p_fnClose(p_hHandle);
    }
}

ScopedHandle::HandleValue::HandleValue(platform::Handle p_hHandle, CloseFunction p_fnClose)
    : m_hHandle(p_hHandle), m_fnClose(std::move(p_fnClose))
{
}

ScopedHandle::HandleValue::~HandleValue()
{
    if (platform::IsUsableHandle(m_hHandle) && m_fnClose) {
        try {
            m_fnClose(m_hHandle);
        } catch (...) {
            // A destructor must not throw; a handle that cannot be closed is lost either way.
        }
    }
    m_hHandle = platform::kNullHandle;
}

}  // namespace utils
