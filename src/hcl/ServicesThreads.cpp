// Events and threads behind the layer's handles.

#include "hcl/ServicesInternal.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <pthread.h>
#include <sched.h>
#include <thread>

struct oxHandleObject {
    virtual ~oxHandleObject() = default;
};

namespace {

struct EventObject final : oxHandleObject {
    explicit EventObject(bool manualReset) : m_ManualReset(manualReset) {}
    std::mutex m_Mutex;
    std::condition_variable m_Signal;
    bool m_Signalled = false;
    const bool m_ManualReset;
};

// What a thread and its handle share: the handle may be closed while the thread runs on.
struct ThreadState {
    std::mutex m_Mutex;
    std::condition_variable m_Ended;
    bool m_Done = false;
};

struct ThreadObject final : oxHandleObject {
    std::thread m_Thread;
    std::shared_ptr<ThreadState> m_State;
    ~ThreadObject() override {
        if (m_Thread.joinable()) {
            m_Thread.detach();
        }
    }
};

EventObject* AsEvent(oxHandle handle) {
    return dynamic_cast<EventObject*>(handle);
}
ThreadObject* AsThread(oxHandle handle) {
    return dynamic_cast<ThreadObject*>(handle);
}

// Waits on a condition with the layer's time-out convention (oxINFINITE: no time-out).
template <typename Predicate>
bool WaitFor(std::condition_variable& cv, std::unique_lock<std::mutex>& lock,
             std::uint32_t milliseconds, Predicate ready) {
    if (milliseconds == oxINFINITE) {
        cv.wait(lock, ready);
        return true;
    }
    return cv.wait_for(lock, std::chrono::milliseconds(milliseconds), ready);
}

} // namespace

oxHandle oxCreateEventEx(bool manualReset) {
    return new EventObject(manualReset);
}

oxHandle oxCreateEvent() {
    return oxCreateEventEx(false);
}

bool oxSetEvent(oxHandle eventIn) {
    EventObject* event = AsEvent(eventIn);
    if (event == nullptr) {
        return false;
    }
    // Notified under the lock: a waiter that wakes may close the event at once.
    std::lock_guard<std::mutex> guard(event->m_Mutex);
    event->m_Signalled = true;
    event->m_Signal.notify_all();
    return true;
}

bool oxResetEvent(oxHandle eventIn) {
    EventObject* event = AsEvent(eventIn);
    if (event == nullptr) {
        return false;
    }
    std::lock_guard<std::mutex> guard(event->m_Mutex);
    event->m_Signalled = false;
    return true;
}

bool oxWaitEvent(oxHandle eventIn, std::uint32_t milliseconds) {
    EventObject* event = AsEvent(eventIn);
    if (event == nullptr) {
        return false;
    }
    std::unique_lock<std::mutex> lock(event->m_Mutex);
    if (!WaitFor(event->m_Signal, lock, milliseconds, [event] { return event->m_Signalled; })) {
        return false;
    }
    if (!event->m_ManualReset) {
        event->m_Signalled = false; // an auto-reset event releases one waiter
    }
    return true;
}

bool oxCloseHandle(oxHandle handle) {
    if (handle == nullptr) {
        return false;
    }
    delete handle;
    return true;
}

oxHandle oxCreateThread(oxThreadFunction function, void* argument) {
    if (function == nullptr) {
        return nullptr;
    }
    auto* handle = new ThreadObject;
    handle->m_State = std::make_shared<ThreadState>();
    try {
        handle->m_Thread = std::thread([function, argument, state = handle->m_State] {
            function(argument);
            std::lock_guard<std::mutex> guard(state->m_Mutex);
            state->m_Done = true;
            state->m_Ended.notify_all();
        });
    } catch (const std::system_error&) {
        delete handle;
        return nullptr;
    }
    return handle;
}

bool oxWaitThread(oxHandle threadIn, std::uint32_t milliseconds) {
    ThreadObject* thread = AsThread(threadIn);
    if (thread == nullptr) {
        return false;
    }
    {
        std::unique_lock<std::mutex> lock(thread->m_State->m_Mutex);
        ThreadState* state = thread->m_State.get();
        if (!WaitFor(state->m_Ended, lock, milliseconds, [state] { return state->m_Done; })) {
            return false;
        }
    }
    if (thread->m_Thread.joinable() && thread->m_Thread.get_id() != std::this_thread::get_id()) {
        thread->m_Thread.join();
    }
    delete thread;
    return true;
}

bool oxSetThreadPriority(oxHandle threadIn, int level) {
    ThreadObject* thread = AsThread(threadIn);
    if (thread == nullptr || level < 0 || level > 2 || !thread->m_Thread.joinable()) {
        return false;
    }
    // Best effort: a real-time class needs privileges this process may not have, and then the
    // thread keeps the normal class.
    const pthread_t native = thread->m_Thread.native_handle();
    sched_param param{};
    if (level == 2) {
        param.sched_priority = sched_get_priority_max(SCHED_FIFO);
        if (pthread_setschedparam(native, SCHED_FIFO, &param) == 0) {
            return true;
        }
        param.sched_priority = 0;
    }
    pthread_setschedparam(native, level == 0 ? SCHED_IDLE : SCHED_OTHER, &param);
    return true;
}

bool oxSuspendThread(oxHandle) {
    return false;
}

bool oxResumeThread(oxHandle) {
    return false;
}
