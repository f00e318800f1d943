// oxStartTimer: a callback called periodically on a thread of its own.

#include "hcl/ServicesInternal.h"

namespace {

// Owned by the timer's thread.
struct TimerRecord {
    oxHandle Event;
    std::uint32_t PeriodMs;
    oxTimerCallback Callback;
    void* Argument;
};

std::uint32_t oxTimerThread(void* recordIn) {
    auto* record = static_cast<TimerRecord*>(recordIn);
    std::uint32_t wait = record->PeriodMs; // the full period before the first call
    while (!oxWaitEvent(record->Event, wait)) {
        const std::uint32_t start = oxGetMsCount();
        record->Callback(record->Argument);
        std::uint32_t took = oxGetMsCount() - start;
        if (took > record->PeriodMs) {
            took = record->PeriodMs;
        }
        wait = record->PeriodMs - took;
    }
    oxCloseHandle(record->Event);
    delete record;
    return 0;
}

} // namespace

oxHandle oxStartTimer(std::uint32_t periodMs, oxTimerCallback callback, void* argument) {
    if (callback == nullptr) {
        return nullptr;
    }
    auto* record = new TimerRecord{oxCreateEventEx(true), periodMs, callback, argument};
    if (record->Event == nullptr) {
        delete record;
        return nullptr;
    }
    oxHandle event = record->Event;
    oxHandle thread = oxCreateThread(oxTimerThread, record);
    if (thread == nullptr) {
        oxCloseHandle(event);
        delete record;
        return nullptr;
    }
    oxCloseHandle(thread); // the thread runs on and cleans up after itself
    return event;
}
