#pragma once

#include <functional>
#include <stdexcept>
#include <string>

namespace vexa_test {

// The text of the std::runtime_error that `p_Action` throws; "no exception" when it throws none.
inline std::string MessageOf(const std::function<void()>& p_Action)
{
    try {
        p_Action();
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "no exception";
}

}  // namespace vexa_test
