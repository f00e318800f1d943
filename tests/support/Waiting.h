#pragma once
// Waiting for what another thread does: a count of calls that tests wait for (an event), and a
// condition looked at again until it holds. Both give up after a generous bound, a guard
// against a hang and never a measured time.

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace q3vtest {

inline constexpr std::chrono::seconds kWaitGuard{20};

// Counts calls made from any thread.
class CallCount {
public:
    void Add() {
        {
            std::lock_guard lock(m_Mutex);
            ++m_Count;
        }
        m_Changed.notify_all();
    }
    unsigned Value() {
        std::lock_guard lock(m_Mutex);
        return m_Count;
    }
    void Reset() {
        std::lock_guard lock(m_Mutex);
        m_Count = 0;
    }
    // Until at least count calls were made; false when they never came.
    bool WaitFor(unsigned count) {
        std::unique_lock lock(m_Mutex);
        return m_Changed.wait_for(lock, kWaitGuard, [&] { return m_Count >= count; });
    }

private:
    std::mutex m_Mutex;
    std::condition_variable m_Changed;
    unsigned m_Count = 0;
};

// Until condition() holds, looking again every millisecond; false when it never did.
template <typename Condition> bool WaitUntil(Condition condition) {
    const auto giveUp = std::chrono::steady_clock::now() + kWaitGuard;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= giveUp) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

} // namespace q3vtest
