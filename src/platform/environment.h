#pragma once

#include <optional>
#include <string>

namespace platform {

// Process environment, names matched without regard to case (GetEnvironmentVariableW).
class Environment {
public:
    virtual ~Environment() = default;
    // The variable's value (possibly empty), or nothing when it does not exist.
    virtual std::optional<std::wstring> Get(const std::wstring& name) = 0;
    static Environment& System();
};

}  // namespace platform
