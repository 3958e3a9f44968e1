#include "common/child_process.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vexa_test {

struct ChildProcess::Impl {
    pid_t pid = -1;
};

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments)
    : m_pImpl(std::make_unique<Impl>())
{
    std::vector<char*> argv;
    std::vector<std::string> copies{program};
    copies.insert(copies.end(), arguments.begin(), arguments.end());
    for (auto& argument : copies) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    m_pImpl->pid = pid;
}

ChildProcess::~ChildProcess()
{
    if (m_pImpl->pid > 0) {
        kill(m_pImpl->pid, SIGKILL);
        waitpid(m_pImpl->pid, nullptr, 0);
    }
}

bool ChildProcess::Started() const
{
    return m_pImpl->pid > 0;
}

}  // namespace vexa_test
