#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace vexa_test {

// A helper program started by a test and ended (killed if still running) when the object goes.
class ChildProcess {
public:
    ChildProcess(const std::string& program, const std::vector<std::string>& arguments);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_pImpl;
};

// Waits until `file` exists; false after `timeout`.
bool WaitForFile(const std::filesystem::path& file, std::chrono::milliseconds timeout);

}  // namespace vexa_test
