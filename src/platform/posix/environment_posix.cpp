#include "platform/environment.h"

#include <cstring>

#include "platform/posix/native_path_posix.h"
#include "platform/text.h"

extern char** environ;

namespace platform {
namespace {

// Windows keeps one variable per name without regard to case; the first match stands for it.
class PosixEnvironment final : public Environment {
public:
    std::optional<std::wstring> Get(const std::wstring& name) override
    {
        if (name.empty() || name.find(L'=') != std::wstring::npos) {
            return std::nullopt;
        }
        for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
            const char* equals = std::strchr(*entry, '=');
            if (equals == nullptr || equals == *entry) {
                continue;
            }
            const std::wstring entryName =
                posix::FromNative(std::string(*entry, static_cast<std::size_t>(equals - *entry)));
            if (EqualNoCase(entryName, name)) {
                return posix::FromNative(equals + 1);
            }
        }
        return std::nullopt;
    }
};

}  // namespace

Environment& Environment::System()
{
    static PosixEnvironment s_environment;
    return s_environment;
}

}  // namespace platform
