#include "standins/hmi_substitute.h"

#include <fstream>
#include <map>
#include <mutex>
#include <utility>

#include "platform/text.h"

namespace platform {

// Object and control interface of the substitute in one, shared by every holder so that a
// control pointer kept by the monitor stays valid however long it keeps it.
class SubstituteHmiRuntime::Runtime : public HmiObject,
                                      public HmiControl,
                                      public std::enable_shared_from_this<Runtime> {
public:
    void SetKnownNames(std::vector<std::wstring> names)
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_bAllNamesKnown = false;
        m_Numbers.clear();
        m_Names.clear();
        std::int32_t number = 0;
        for (auto& name : names) {
            ++number;
            if (m_Numbers.emplace(name, number).second) {
                m_Names.emplace(number, std::move(name));
            }
        }
        m_nNextNumber = number + 1;
    }

    bool SetTraceFile(const std::filesystem::path& file)
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_TraceFile.close();
        m_TraceFile.clear();
        m_TraceFile.open(file, std::ios::out | std::ios::app | std::ios::binary);
        return m_TraceFile.is_open();
    }

    void SetWriteResult(HResult result)
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_nWriteResult = result;
    }

    void KeepTrace()
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_bKeepTrace = true;
    }

    std::vector<std::string> Trace() const
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        return m_Trace;
    }

    std::optional<std::int32_t> ValueOf(const std::wstring& name) const
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        const auto number = m_Numbers.find(name);
        if (number == m_Numbers.end()) {
            return std::nullopt;
        }
        const auto value = m_Values.find(number->second);
        if (value == m_Values.end()) {
            return std::nullopt;
        }
        return value->second;
    }

    HResult QueryControl(std::shared_ptr<HmiControl>& control) override
    {
        control = shared_from_this();
        return kSOk;
    }

    HResult Connect(std::uint32_t) override
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        Record("connect");
        return kSOk;
    }

    HResult Disconnect(std::uint32_t) override
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        Record("disconnect");
        return kSOk;
    }

    HResult CheckInByName(std::uint32_t, const std::wstring& name, MessageMode, std::int32_t,
                          std::int32_t& varNo) override
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        auto known = m_Numbers.find(name);
        if (known == m_Numbers.end() && m_bAllNamesKnown && !name.empty()) {
            known = m_Numbers.emplace(name, m_nNextNumber).first;
            m_Names.emplace(m_nNextNumber, name);
            ++m_nNextNumber;
        }
        if (known == m_Numbers.end()) {
            varNo = 0;
            Record("checkin-failed " + WideToAnsi(name));
            return kEInvalidArg;
        }
        varNo = known->second;
        Record("checkin " + WideToAnsi(name) + " " + std::to_string(varNo));
        return kSOk;
    }

    HResult CheckOut(std::uint32_t, std::int32_t varNo) override
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        const auto name = m_Names.find(varNo);
        if (name == m_Names.end()) {
            return kEInvalidArg;
        }
        Record("checkout " + WideToAnsi(name->second));
        return kSOk;
    }

    HResult SetValue(std::int32_t varNo, const VisiVariant& value) override
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        const auto name = m_Names.find(varNo);
        if (name == m_Names.end()) {
            return kEInvalidArg;
        }
        if (m_nWriteResult != kSOk) {
            return m_nWriteResult;
        }
        // The monitor sends only 32-bit integers; other type codes carry no value it could read.
        if (value.vt != kVisiTypeInt32) {
            return kEInvalidArg;
        }
        m_Values[varNo] = value.lVal;
        Record("set " + WideToAnsi(name->second) + " " + std::to_string(value.lVal));
        return kSOk;
    }

private:
    void Record(std::string line)
    {
        if (m_TraceFile.is_open()) {
            m_TraceFile << line << '\n';
            m_TraceFile.flush();
        }
        if (m_bKeepTrace) {
            m_Trace.push_back(std::move(line));
        }
    }

    mutable std::mutex m_Mutex;
    bool m_bAllNamesKnown = true;
    std::map<std::wstring, std::int32_t> m_Numbers;
    std::map<std::int32_t, std::wstring> m_Names;
    std::map<std::int32_t, std::int32_t> m_Values;
    std::int32_t m_nNextNumber = 1;
    HResult m_nWriteResult = kSOk;
    std::ofstream m_TraceFile;
    bool m_bKeepTrace = false;
    std::vector<std::string> m_Trace;
};

SubstituteHmiRuntime::SubstituteHmiRuntime() : m_pRuntime(std::make_shared<Runtime>()) {}

SubstituteHmiRuntime::~SubstituteHmiRuntime() = default;

void SubstituteHmiRuntime::SetKnownNames(std::vector<std::wstring> names)
{
    m_pRuntime->SetKnownNames(std::move(names));
}

bool SubstituteHmiRuntime::SetTraceFile(const std::filesystem::path& file)
{
    return m_pRuntime->SetTraceFile(file);
}

void SubstituteHmiRuntime::SetRunning(bool running)
{
    m_bRunning.store(running);
}

void SubstituteHmiRuntime::SetWriteResult(HResult result)
{
    m_pRuntime->SetWriteResult(result);
}

void SubstituteHmiRuntime::KeepTrace()
{
    m_pRuntime->KeepTrace();
}

std::vector<std::string> SubstituteHmiRuntime::Trace() const
{
    return m_pRuntime->Trace();
}

std::optional<std::int32_t> SubstituteHmiRuntime::ValueOf(const std::wstring& name) const
{
    return m_pRuntime->ValueOf(name);
}

std::shared_ptr<HmiControl> SubstituteHmiRuntime::Control() const
{
    return m_pRuntime;
}

bool SubstituteHmiRuntime::GetRunningObject(std::shared_ptr<HmiObject>& object)
{
    if (!m_bRunning.load()) {
        object.reset();
        return false;
    }
    object = m_pRuntime;
    return true;
}

}  // namespace platform
