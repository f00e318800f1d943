// Polled interrupts: a thread that reads registers through the front and calls a callback when
// a source's bits are set. The source table and the callback are shared with the thread, so
// every use of them holds the poll lock.

#include "hcl/HclPoll.h"

#include "hcl/HclApi.h"
#include "hcl/Services.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>

namespace {

struct PollSource {
    std::uint32_t Index;
    std::uint32_t Mask;
};

struct PollState {
    std::mutex Lock;
    PollSource Sources[oxHCL_MAX_POLL_SOURCES] = {};
    unsigned Count = 0;
    oxPollCallback Callback = nullptr;
    oxHandle Thread = nullptr;
    std::thread::id ThreadId;
    // Each started thread runs while the generation is the one it was started with; stopping
    // moves the generation on, so a thread left running can never pick up a later start.
    std::atomic<std::uintptr_t> Generation{0};
};

// Never destroyed: the poll thread may still use it while the program ends.
PollState& State() {
    static auto* s_State = new PollState;
    return *s_State;
}

// Stops the running thread (lock held by the caller through lock, released while waiting).
void StopThread(PollState& s, std::unique_lock<std::mutex>& lock) {
    if (s.Thread == nullptr) {
        return;
    }
    s.Generation.fetch_add(1);
    oxHandle thread = s.Thread;
    const bool self = s.ThreadId == std::this_thread::get_id();
    s.Thread = nullptr;
    s.ThreadId = std::thread::id();
    if (self) {
        // The callback stops its own thread: it ends after this pass.
        oxCloseHandle(thread);
        return;
    }
    lock.unlock();
    if (!oxWaitThread(thread, 1000)) {
        oxCloseHandle(thread);
    }
    lock.lock();
}

} // namespace

bool oxAddPollInterrupt(std::uint32_t, std::uint32_t, std::uint32_t index, std::uint32_t,
                        std::uint32_t mask) {
    PollState& s = State();
    std::lock_guard<std::mutex> lock(s.Lock);
    if (s.Count >= oxHCL_MAX_POLL_SOURCES) {
        return false;
    }
    s.Sources[s.Count++] = PollSource{index, mask};
    return true;
}

bool oxSetPollInterruptCallback(oxPollCallback callback) {
    PollState& s = State();
    std::unique_lock<std::mutex> lock(s.Lock);
    s.Callback = callback;
    if (callback == nullptr) {
        StopThread(s, lock);
        return true;
    }
    if (s.Thread != nullptr) {
        return true; // the running thread picks up the new callback
    }
    const std::uintptr_t generation = s.Generation.load();
    s.Thread = oxCreateThread(oxPollInterruptThread, reinterpret_cast<void*>(generation));
    if (s.Thread == nullptr) {
        s.Callback = nullptr;
        return false;
    }
    return true;
}

std::uint32_t oxPollInterruptThread(void* argument) {
    PollState& s = State();
    const auto generation = reinterpret_cast<std::uintptr_t>(argument);
    {
        std::lock_guard<std::mutex> lock(s.Lock);
        if (s.Generation.load() == generation) {
            s.ThreadId = std::this_thread::get_id();
        }
    }
    while (s.Generation.load() == generation) {
        PollSource sources[oxHCL_MAX_POLL_SOURCES];
        unsigned count;
        {
            std::lock_guard<std::mutex> lock(s.Lock);
            count = s.Count;
            for (unsigned i = 0; i < count; ++i) {
                sources[i] = s.Sources[i];
            }
        }
        for (unsigned i = 0; i < count && s.Generation.load() == generation; ++i) {
            const std::uint16_t value = oxHclReadReg16(sources[i].Index);
            if ((value & sources[i].Mask) == 0) {
                continue;
            }
            oxPollCallback callback;
            {
                std::lock_guard<std::mutex> lock(s.Lock);
                callback = s.Callback;
            }
            if (callback != nullptr) {
                callback();
            }
        }
        oxSleepMs(1);
    }
    return 0;
}

unsigned oxPollInterruptCount() {
    PollState& s = State();
    std::lock_guard<std::mutex> lock(s.Lock);
    return s.Count;
}

void oxResetPollInterruptsForTesting() {
    oxSetPollInterruptCallback(nullptr);
    PollState& s = State();
    std::lock_guard<std::mutex> lock(s.Lock);
    s.Count = 0;
}
