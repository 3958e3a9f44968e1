#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/count_of.h"
#include "common/temp_folder.h"
#include "fakes/log_capture.h"
#include "fakes/memory_profile.h"
#include "platform/environment.h"
#include "platform/message_dialog.h"
#include "platform/seam.h"
#include "service/monitor.h"

namespace servicetest {

// A gate that one thread waits at until another opens it.
class Gate {
public:
    void Open();
    // Waits until opened; false after `timeout` without.
    bool Wait(std::chrono::milliseconds timeout = std::chrono::seconds(10));
    bool IsOpen();

private:
    std::mutex m_Mutex;
    std::condition_variable m_Opened;
    bool m_bOpen = false;
};

// Counts what the worker does with its monitor; lives beyond the monitor it describes.
struct MonitorRecord {
    std::mutex m_Mutex;
    std::condition_variable m_Changed;
    int m_nAssembled = 0;
    int m_nUpdates = 0;
    int m_nSends = 0;
    bool m_bTornDown = false;
    std::vector<std::chrono::steady_clock::time_point> m_UpdateTimes;
    std::vector<std::wstring> m_Failures;  // the reasons of failed cycles, in order

    // Waits until `p_Condition` holds (checked under the lock); false after 10 s without.
    bool WaitFor(const std::function<bool()>& p_Condition);
    int Updates();
    bool TornDown();
    std::vector<std::wstring> Failures();
};

// A monitor whose start-up and cycle do what a test scripts.
struct ScriptedMonitor {
    std::function<void()> m_Assemble;  // runs before the monitor exists; may throw or block
    std::function<void()> m_Update;    // runs in every Update; may throw or block
    std::shared_ptr<MonitorRecord> m_pRecord = std::make_shared<MonitorRecord>();

    service::MonitorFactory Factory() const;
};

// Records message boxes instead of showing them.
class MessageRecorder : public platform::MessageDialog {
public:
    void Show(const std::wstring& text, const std::wstring& caption) override;
    std::vector<std::wstring> Texts();

private:
    std::mutex m_Mutex;
    std::vector<std::wstring> m_Texts;
};

// Settings, environment (TEMP in a fresh directory), message boxes and log of one worker test.
class WorkerEnvironment : public platform::Environment {
public:
    WorkerEnvironment();
    ~WorkerEnvironment() override;

    std::optional<std::wstring> Get(const std::wstring& name) override;
    // Sets a variable besides TEMP.
    void Set(const std::wstring& p_strName, const std::wstring& p_strValue);

    void SetDebugLevel(int p_nLevel);
    void SetCycleTime(int p_nMilliseconds);
    void SetCycleTime(const std::wstring& p_strText);

    // Waits until no worker thread is left (false after 10 s), then closes the log.
    bool WaitForWorkersToEnd();
    // The log file with time stamps masked; call after WaitForWorkersToEnd.
    std::string Log() const;
    // The log's earlier part, renamed at its size limit; "<missing>" when there is none.
    std::string OlderLog() const;
    std::uintmax_t LogSize() const;

    fakes::MemoryProfile& Profile() { return m_Profile; }

    MessageRecorder m_Messages;

private:
    testing_support::TempFolder m_Temp;
    std::vector<std::pair<std::wstring, std::wstring>> m_Variables;
    fakes::MemoryProfile m_Profile;
    platform::Substitute<platform::Environment> m_EnvironmentSubstitute;
    platform::Substitute<platform::Profile> m_ProfileSubstitute;
    platform::Substitute<platform::MessageDialog> m_MessageSubstitute;
};

using testing_support::CountOf;

}  // namespace servicetest
