// oxStartTimer: a callback called periodically on a thread of its own.

#include "hcl/ServicesInternal.h"

namespace {

// Owned by the timer's thread.
struct TimerRecord {
    oxHandle m_Event;
    std::uint32_t m_PeriodMs;
    oxTimerCallback m_Callback;
    void* m_Argument;
};

std::uint32_t oxTimerThread(void* recordIn) {
    auto* record = static_cast<TimerRecord*>(recordIn);
    std::uint32_t wait = record->m_PeriodMs; // the full period before the first call
    while (!oxWaitEvent(record->m_Event, wait)) {
        const std::uint32_t start = oxGetMsCount();
        record->m_Callback(record->m_Argument);
        std::uint32_t took = oxGetMsCount() - start;
        if (took > record->m_PeriodMs) {
            took = record->m_PeriodMs;
        }
        wait = record->m_PeriodMs - took;
    }
    oxCloseHandle(record->m_Event);
    delete record;
    return 0;
}

} // namespace

oxHandle oxStartTimer(std::uint32_t periodMs, oxTimerCallback callback, void* argument) {
    if (callback == nullptr) {
        return nullptr;
    }
    auto* record = new TimerRecord{oxCreateEventEx(true), periodMs, callback, argument};
    if (record->m_Event == nullptr) {
        delete record;
        return nullptr;
    }
    oxHandle event = record->m_Event;
    oxHandle thread = oxCreateThread(oxTimerThread, record);
    if (thread == nullptr) {
        oxCloseHandle(event);
        delete record;
        return nullptr;
    }
    oxCloseHandle(thread); // the thread runs on and cleans up after itself
    return event;
}
