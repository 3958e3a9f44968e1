#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/hmi_runtime.h"

namespace fakes {

// An HMI runtime whose answers a test sets and which records every call with its arguments.
class ScriptedHmiRuntime : public platform::HmiRuntime {
public:
    struct Call {
        std::string op;  // "connect", "disconnect", "checkin", "checkout", "set"
        std::uint32_t cookie = 0;
        std::wstring name;
        platform::MessageMode mode = platform::MessageMode::OnNever;
        std::int32_t handle = 0;
        std::int32_t varNo = 0;
        platform::VisiVariant value;
    };

    class Control : public platform::HmiControl {
    public:
        platform::HResult Connect(std::uint32_t cookie) override;
        platform::HResult Disconnect(std::uint32_t cookie) override;
        platform::HResult CheckInByName(std::uint32_t cookie, const std::wstring& name,
                                        platform::MessageMode mode, std::int32_t handle,
                                        std::int32_t& varNo) override;
        platform::HResult CheckOut(std::uint32_t cookie, std::int32_t varNo) override;
        platform::HResult SetValue(std::int32_t varNo, const platform::VisiVariant& value) override;

        std::vector<Call> calls;
        platform::HResult connectResult = platform::kSOk;
        platform::HResult setValueResult = platform::kSOk;
        std::set<std::wstring> refusedNames;
        // Numbers given to particular names; others get 1, 2, ... in check-in order.
        std::map<std::wstring, std::int32_t> numbers;
        std::int32_t nextNumber = 1;
    };

    class Object : public platform::HmiObject {
    public:
        platform::HResult QueryControl(std::shared_ptr<platform::HmiControl>& control) override;

        std::shared_ptr<Control> control = std::make_shared<Control>();
        platform::HResult queryResult = platform::kSOk;
        bool giveControl = true;
    };

    bool GetRunningObject(std::shared_ptr<platform::HmiObject>& object) override;

    std::vector<Call>& Calls() { return object->control->calls; }
    Control& control() { return *object->control; }
    // The operations of the recorded calls, with the name for check-ins and check-outs and the
    // value for writes: "checkin mb_fan_1", "set 3 101".
    std::vector<std::string> Summary() const;

    std::shared_ptr<Object> object = std::make_shared<Object>();
    bool found = true;
    bool giveObject = true;
};

}  // namespace fakes
