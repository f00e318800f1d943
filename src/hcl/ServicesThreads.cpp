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
    explicit EventObject(bool i_ManualReset) : m_ManualReset(i_ManualReset) {}
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

EventObject* AsEvent(oxHandle i_Handle) {
    return dynamic_cast<EventObject*>(i_Handle);
}
ThreadObject* AsThread(oxHandle i_Handle) {
    return dynamic_cast<ThreadObject*>(i_Handle);
}

// Waits on a condition with the layer's time-out convention (oxINFINITE: no time-out).
template <typename Predicate>
bool WaitFor(std::condition_variable& i_Cv, std::unique_lock<std::mutex>& io_Lock,
             std::uint32_t i_Milliseconds, Predicate i_Ready) {
    if (i_Milliseconds == oxINFINITE) {
        i_Cv.wait(io_Lock, i_Ready);
        return true;
    }
    return i_Cv.wait_for(io_Lock, std::chrono::milliseconds(i_Milliseconds), i_Ready);
}

} // namespace

oxHandle oxCreateEventEx(bool i_ManualReset) {
    return new EventObject(i_ManualReset);
}

oxHandle oxCreateEvent() {
    return oxCreateEventEx(false);
}

bool oxSetEvent(oxHandle i_Event) {
    EventObject* event = AsEvent(i_Event);
    if (event == nullptr) {
        return false;
    }
    // Notified under the lock: a waiter that wakes may close the event at once.
    std::lock_guard<std::mutex> guard(event->m_Mutex);
    event->m_Signalled = true;
    event->m_Signal.notify_all();
    return true;
}

bool oxResetEvent(oxHandle i_Event) {
    EventObject* event = AsEvent(i_Event);
    if (event == nullptr) {
        return false;
    }
    std::lock_guard<std::mutex> guard(event->m_Mutex);
    event->m_Signalled = false;
    return true;
}

bool oxWaitEvent(oxHandle i_Event, std::uint32_t i_Milliseconds) {
    EventObject* event = AsEvent(i_Event);
    if (event == nullptr) {
        return false;
    }
    std::unique_lock<std::mutex> lock(event->m_Mutex);
    if (!WaitFor(event->m_Signal, lock, i_Milliseconds, [event] { return event->m_Signalled; })) {
        return false;
    }
    if (!event->m_ManualReset) {
        event->m_Signalled = false; // an auto-reset event releases one waiter
    }
    return true;
}

bool oxCloseHandle(oxHandle i_Handle) {
    if (i_Handle == nullptr) {
        return false;
    }
    delete i_Handle;
    return true;
}

oxHandle oxCreateThread(oxThreadFunction i_Function, void* i_Argument) {
    if (i_Function == nullptr) {
        return nullptr;
    }
    auto* handle = new ThreadObject;
    handle->m_State = std::make_shared<ThreadState>();
    try {
        handle->m_Thread = std::thread([i_Function, i_Argument, state = handle->m_State] {
            i_Function(i_Argument);
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

bool oxWaitThread(oxHandle i_Thread, std::uint32_t i_Milliseconds) {
    ThreadObject* thread = AsThread(i_Thread);
    if (thread == nullptr) {
        return false;
    }
    {
        std::unique_lock<std::mutex> lock(thread->m_State->m_Mutex);
        ThreadState* state = thread->m_State.get();
        if (!WaitFor(state->m_Ended, lock, i_Milliseconds, [state] { return state->m_Done; })) {
            return false;
        }
    }
    if (thread->m_Thread.joinable() && thread->m_Thread.get_id() != std::this_thread::get_id()) {
        thread->m_Thread.join();
    }
    delete thread;
    return true;
}

bool oxSetThreadPriority(oxHandle i_Thread, int i_Level) {
    ThreadObject* thread = AsThread(i_Thread);
    if (thread == nullptr || i_Level < 0 || i_Level > 2 || !thread->m_Thread.joinable()) {
        return false;
    }
    // Best effort: a real-time class needs privileges this process may not have, and then the
    // thread keeps the normal class.
    const pthread_t native = thread->m_Thread.native_handle();
    sched_param param{};
    if (i_Level == 2) {
        param.sched_priority = sched_get_priority_max(SCHED_FIFO);
        if (pthread_setschedparam(native, SCHED_FIFO, &param) == 0) {
            return true;
        }
        param.sched_priority = 0;
    }
    pthread_setschedparam(native, i_Level == 0 ? SCHED_IDLE : SCHED_OTHER, &param);
    return true;
}

bool oxSuspendThread(oxHandle) {
    return false;
}

bool oxResumeThread(oxHandle) {
    return false;
}
