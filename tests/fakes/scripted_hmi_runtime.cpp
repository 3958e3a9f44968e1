#include "fakes/scripted_hmi_runtime.h"

namespace fakes {

using platform::HResult;

HResult ScriptedHmiRuntime::Control::Connect(std::uint32_t cookie)
{
    Call call;
    call.op = "connect";
    call.cookie = cookie;
    calls.push_back(call);
    return connectResult;
}

HResult ScriptedHmiRuntime::Control::Disconnect(std::uint32_t cookie)
{
    Call call;
    call.op = "disconnect";
    call.cookie = cookie;
    calls.push_back(call);
    return platform::kSOk;
}

HResult ScriptedHmiRuntime::Control::CheckInByName(std::uint32_t cookie, const std::wstring& name,
                                                   platform::MessageMode mode, std::int32_t handle,
                                                   std::int32_t& varNo)
{
    Call call;
    call.op = "checkin";
    call.cookie = cookie;
    call.name = name;
    call.mode = mode;
    call.handle = handle;
    calls.push_back(call);
    if (refusedNames.count(name) != 0) {
        varNo = 0;
        return platform::kEInvalidArg;
    }
    const auto given = numbers.find(name);
    varNo = given != numbers.end() ? given->second : nextNumber++;
    calls.back().varNo = varNo;
    return platform::kSOk;
}

HResult ScriptedHmiRuntime::Control::CheckOut(std::uint32_t cookie, std::int32_t varNo)
{
    Call call;
    call.op = "checkout";
    call.cookie = cookie;
    call.varNo = varNo;
    calls.push_back(call);
    return platform::kSOk;
}

HResult ScriptedHmiRuntime::Control::SetValue(std::int32_t varNo,
                                              const platform::VisiVariant& value)
{
    Call call;
    call.op = "set";
    call.varNo = varNo;
    call.value = value;
    calls.push_back(call);
    return setValueResult;
}

HResult ScriptedHmiRuntime::Object::QueryControl(std::shared_ptr<platform::HmiControl>& result)
{
    if (giveControl) {
        result = control;
    } else {
        result.reset();
    }
    return queryResult;
}

bool ScriptedHmiRuntime::GetRunningObject(std::shared_ptr<platform::HmiObject>& result)
{
    if (giveObject) {
        result = object;
    } else {
        result.reset();
    }
    return found;
}

std::vector<std::string> ScriptedHmiRuntime::Summary() const
{
    std::vector<std::string> lines;
    for (const Call& call : object->control->calls) {
        std::string line = call.op;
        if (call.op == "checkin") {
            line += " " + std::string(call.name.begin(), call.name.end());
        } else if (call.op == "checkout") {
            line += " " + std::to_string(call.varNo);
        } else if (call.op == "set") {
            line += " " + std::to_string(call.varNo) + " " + std::to_string(call.value.lVal);
        }
        lines.push_back(line);
    }
    return lines;
}

}  // namespace fakes
