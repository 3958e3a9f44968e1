#include "worker_fixture.h"

#include <fstream>
#include <iterator>
#include <thread>

#include "logging/log_stream_access.h"
#include "platform/text.h"
#include "service/worker_thread.h"
#include "settings/settings.h"
#include "settings/values_file_writer.h"

namespace servicetest {

void Gate::Open()
{
    {
        std::lock_guard<std::mutex> l_Lock(m_Mutex);
        m_bOpen = true;
    }
    m_Opened.notify_all();
}

bool Gate::Wait(std::chrono::milliseconds timeout)
{
    std::unique_lock<std::mutex> l_Lock(m_Mutex);
    return m_Opened.wait_for(l_Lock, timeout, [this] { return m_bOpen; });
}

bool Gate::IsOpen()
{
    std::lock_guard<std::mutex> l_Lock(m_Mutex);
    return m_bOpen;
}

bool MonitorRecord::WaitFor(const std::function<bool()>& p_Condition)
{
    std::unique_lock<std::mutex> l_Lock(m_Mutex);
    return m_Changed.wait_for(l_Lock, std::chrono::seconds(10), p_Condition);
}

int MonitorRecord::Updates()
{
    std::lock_guard<std::mutex> l_Lock(m_Mutex);
    return m_nUpdates;
}

bool MonitorRecord::TornDown()
{
    std::lock_guard<std::mutex> l_Lock(m_Mutex);
    return m_bTornDown;
}

std::vector<std::wstring> MonitorRecord::Failures()
{
    std::lock_guard<std::mutex> l_Lock(m_Mutex);
    return m_Failures;
}

namespace {

class RecordingMonitor : public service::Monitor {
public:
    RecordingMonitor(std::shared_ptr<MonitorRecord> p_pRecord, std::function<void()> p_Update)
        : m_pRecord(std::move(p_pRecord)), m_Update(std::move(p_Update))
    {
    }
    ~RecordingMonitor() override
    {
        Change([this] { m_pRecord->m_bTornDown = true; });
    }

    void Update() override
    {
        Change([this] {
            ++m_pRecord->m_nUpdates;
            m_pRecord->m_UpdateTimes.push_back(std::chrono::steady_clock::now());
        });
        if (m_Update) {
            m_Update();
        }
    }
    void Send() override
    {
        Change([this] { ++m_pRecord->m_nSends; });
    }
    void CycleFailed(const std::wstring& p_strReason) noexcept override
    {
        Change([this, &p_strReason] { m_pRecord->m_Failures.push_back(p_strReason); });
    }

private:
    template <class F>
    void Change(F p_Change)
    {
        {
            std::lock_guard<std::mutex> l_Lock(m_pRecord->m_Mutex);
            p_Change();
        }
        m_pRecord->m_Changed.notify_all();
    }

    std::shared_ptr<MonitorRecord> m_pRecord;
    std::function<void()> m_Update;
};

}  // namespace

service::MonitorFactory ScriptedMonitor::Factory() const
{
    return [l_Assemble = m_Assemble, l_Update = m_Update, l_pRecord = m_pRecord]() {
        {
            std::lock_guard<std::mutex> l_Lock(l_pRecord->m_Mutex);
            ++l_pRecord->m_nAssembled;
        }
        l_pRecord->m_Changed.notify_all();
        if (l_Assemble) {
            l_Assemble();
        }
        return std::unique_ptr<service::Monitor>(
            std::make_unique<RecordingMonitor>(l_pRecord, l_Update));
    };
}

void MessageRecorder::Show(const std::wstring& text, const std::wstring&)
{
    std::lock_guard<std::mutex> l_Lock(m_Mutex);
    m_Texts.push_back(text);
}

std::vector<std::wstring> MessageRecorder::Texts()
{
    std::lock_guard<std::mutex> l_Lock(m_Mutex);
    return m_Texts;
}

WorkerEnvironment::WorkerEnvironment()
    : m_EnvironmentSubstitute(*this),
      m_ProfileSubstitute(m_Profile),
      m_MessageSubstitute(m_Messages)
{
    ValuesFileWriter::Instance().Forget();
}

WorkerEnvironment::~WorkerEnvironment()
{
    WaitForWorkersToEnd();
    ValuesFileWriter::Instance().Forget();
}

std::optional<std::wstring> WorkerEnvironment::Get(const std::wstring& name)
{
    if (platform::EqualNoCase(name, L"TEMP")) {
        return m_Temp.Path();
    }
    for (const auto& [l_strName, l_strValue] : m_Variables) {
        if (platform::EqualNoCase(name, l_strName)) {
            return l_strValue;
        }
    }
    return std::nullopt;
}

void WorkerEnvironment::Set(const std::wstring& p_strName, const std::wstring& p_strValue)
{
    m_Variables.emplace_back(p_strName, p_strValue);
}

void WorkerEnvironment::SetDebugLevel(int p_nLevel)
{
    m_Profile.entries[{GetComputerIniPath(), L"Vexa", L"DebugLevel"}] = std::to_wstring(p_nLevel);
}

void WorkerEnvironment::SetCycleTime(int p_nMilliseconds)
{
    SetCycleTime(std::to_wstring(p_nMilliseconds));
}

void WorkerEnvironment::SetCycleTime(const std::wstring& p_strText)
{
    m_Profile.entries[{GetModuleIniPath(), L"Timer", L"CycleTime"}] = p_strText;
}

bool WorkerEnvironment::WaitForWorkersToEnd()
{
    const auto l_Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (service::LiveWorkerThreads() != 0) {
        if (std::chrono::steady_clock::now() > l_Deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    dbg::LogStreamAccess::Instance().SetStream(nullptr);
    dbg::LogStreamAccess::Instance().SetLevel(0);
    return true;
}

std::string WorkerEnvironment::Log() const
{
    std::ifstream l_File(std::filesystem::path(m_Temp.Path(L"Vexa.log")), std::ios::binary);
    return fakes::MaskTimeStamps(
        std::string(std::istreambuf_iterator<char>(l_File), std::istreambuf_iterator<char>()));
}

std::string WorkerEnvironment::OlderLog() const
{
    return fakes::MaskTimeStamps(m_Temp.Read(L"Vexa.log.1"));
}

std::uintmax_t WorkerEnvironment::LogSize() const
{
    return std::filesystem::file_size(std::filesystem::path(m_Temp.Path(L"Vexa.log")));
}

}  // namespace servicetest
