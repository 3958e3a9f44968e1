#pragma once

#include <map>
#include <optional>
#include <string>

#include "platform/environment.h"
#include "platform/text.h"

namespace fakes {

// An environment held in memory; names are matched without regard to case, as the system does.
class MemoryEnvironment : public platform::Environment {
public:
    MemoryEnvironment() = default;
    explicit MemoryEnvironment(std::map<std::wstring, std::wstring> p_Variables)
        : variables(std::move(p_Variables))
    {
    }

    std::optional<std::wstring> Get(const std::wstring& p_strName) override
    {
        for (const auto& l_Entry : variables) {
            if (platform::EqualNoCase(l_Entry.first, p_strName)) {
                return l_Entry.second;
            }
        }
        return std::nullopt;
    }

    std::map<std::wstring, std::wstring> variables;
};

}  // namespace fakes
