#include "platform/environment.h"

#include <windows.h>

namespace platform {
namespace {

class Win32Environment final : public Environment {
public:
    std::optional<std::wstring> Get(const std::wstring& name) override
    {
        std::wstring value(64, L'\0');
        for (;;) {
            // An existing empty variable returns 0 without touching the error code.
            SetLastError(ERROR_SUCCESS);
            const DWORD length = GetEnvironmentVariableW(name.c_str(), value.data(),
                                                         static_cast<DWORD>(value.size()));
            if (length == 0) {
                if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) {
                    return std::nullopt;
                }
                return std::wstring();
            }
            if (length < value.size()) {
                value.resize(length);
                return value;
            }
            // Too small: `length` is the size needed, terminator included.
            value.resize(length);
        }
    }
};

}  // namespace

Environment& Environment::System()
{
    static Win32Environment s_environment;
    return s_environment;
}

}  // namespace platform
