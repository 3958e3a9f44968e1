#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/hmi_runtime.h"

namespace platform {

// An in-process stand-in for the HMI runtime: it checks in variables by name, keeps their values
// and traces every call as one line, written to the trace file as it comes, in order:
//   connect | checkin NAME NUMBER | checkin-failed NAME | set NAME VALUE | checkout NAME |
//   disconnect
// vexa-host runs the monitor against it (natively directly, on Windows behind the COM object of
// standins/win32/vwcontrol_server.h); tests read what it received. Safe to query from another
// thread while the monitor's worker writes to it.
class SubstituteHmiRuntime : public HmiRuntime {
public:
    SubstituteHmiRuntime();
    ~SubstituteHmiRuntime() override;
    SubstituteHmiRuntime(const SubstituteHmiRuntime&) = delete;
    SubstituteHmiRuntime& operator=(const SubstituteHmiRuntime&) = delete;

    // Only these names check in, each with its 1-based position in the list as its number.
    // Without a list every name checks in and gets the next free number, starting at 1.
    void SetKnownNames(std::vector<std::wstring> names);

    // Appends every later trace line to this file, flushed line by line. False when it cannot be
    // opened.
    bool SetTraceFile(const std::filesystem::path& file);

    // Whether the look-up finds the runtime at all (true by default).
    void SetRunning(bool running);

    // The result every SetValue returns from now on; a failing write changes no value.
    void SetWriteResult(HResult result);

    // Keeps every later trace line in memory as well, for Trace(). Tests do; a host does not, so
    // that a runtime left running keeps nothing that grows with the run.
    void KeepTrace();

    // The trace lines kept so far (KeepTrace), without line ends.
    std::vector<std::string> Trace() const;

    // The last value written to a checked-in variable, if any.
    std::optional<std::int32_t> ValueOf(const std::wstring& name) const;

    // The runtime's control interface itself, for serving it to another client (COM).
    std::shared_ptr<HmiControl> Control() const;

    bool GetRunningObject(std::shared_ptr<HmiObject>& object) override;

private:
    class Runtime;
    std::shared_ptr<Runtime> m_pRuntime;
    std::atomic<bool> m_bRunning{true};
};

}  // namespace platform
