#include "service/run_gate.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace service {
namespace {

constexpr std::chrono::milliseconds kStopPoll{20};

struct Gate {
    std::mutex m_Mutex;
    std::condition_variable m_Released;
    bool m_bHeld = false;
};

Gate& TheGate()
{
    static Gate s_Gate;
    return s_Gate;
}

}  // namespace

RunGate::RunGate(const std::function<bool()>& p_StopRequested)
{
    Gate& l_Gate = TheGate();
    std::unique_lock<std::mutex> l_Lock(l_Gate.m_Mutex);
    while (l_Gate.m_bHeld) {
        if (p_StopRequested()) {
            return;
        }
        l_Gate.m_Released.wait_for(l_Lock, kStopPoll);
    }
    l_Gate.m_bHeld = true;
    m_bHeld = true;
}

RunGate::~RunGate()
{
    Leave();
}

void RunGate::Leave()
{
    if (!m_bHeld) {
        return;
    }
    m_bHeld = false;
    Gate& l_Gate = TheGate();
    {
        std::lock_guard<std::mutex> l_Lock(l_Gate.m_Mutex);
        l_Gate.m_bHeld = false;
    }
    l_Gate.m_Released.notify_all();
}

}  // namespace service
