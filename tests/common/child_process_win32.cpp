#include "common/child_process.h"

#include <windows.h>

#include "platform/win32/unique_resource.h"

namespace vexa_test {

namespace {

// Wine runs the test with Unix paths from the build; its drive Z: is the Unix root.
std::wstring WindowsProgramPath(const std::string& program)
{
    std::wstring path(program.begin(), program.end());
    if (!path.empty() && path[0] == L'/') {
        path = L"Z:" + path;
    }
    for (auto& c : path) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    return path;
}

}  // namespace

struct ChildProcess::Impl {
    platform::win32::UniqueHandle process;
    platform::win32::UniqueHandle thread;
};

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments)
    : m_pImpl(std::make_unique<Impl>())
{
    const std::wstring path = WindowsProgramPath(program);
    std::wstring commandLine = L"\"" + path + L"\"";
    for (const auto& argument : arguments) {
        commandLine += L" \"" + std::wstring(argument.begin(), argument.end()) + L"\"";
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       nullptr, &startup, &process)) {
        m_pImpl->process.Reset(process.hProcess);
        m_pImpl->thread.Reset(process.hThread);
    }
}

ChildProcess::~ChildProcess()
{
    if (m_pImpl->process) {
        TerminateProcess(m_pImpl->process.Get(), 0);
        WaitForSingleObject(m_pImpl->process.Get(), 10000);
    }
}

bool ChildProcess::Started() const
{
    return m_pImpl->process.IsValid();
}

}  // namespace vexa_test
