// Delays, sleeps, the millisecond clock and the time of day.
//
// The clock counts on CLOCK_MONOTONIC, whose tick is one nanosecond: "calibration" takes the
// start count and the period (1000 ps) once, at the first timing call.

#include "hcl/Services.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <time.h>

namespace {

constinit std::atomic<std::uint64_t> s_CyclePeriodPs{0}; // 0 = not calibrated
constinit std::uint64_t s_StartCount = 0;                // written before the period is set
constinit std::mutex s_CalibrateMutex;

std::uint64_t CounterNow() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1000000000u +
           static_cast<std::uint64_t>(now.tv_nsec);
}

// The period in picoseconds, calibrating first when needed.
std::uint64_t CyclePeriod() {
    std::uint64_t period = s_CyclePeriodPs.load(std::memory_order_acquire);
    if (period == 0) {
        CalibrateSystemClock();
        period = s_CyclePeriodPs.load(std::memory_order_acquire);
    }
    return period;
}

// Spins until the counter has advanced by the given number of picoseconds.
void SpinPs(std::uint64_t picoseconds) {
    const std::uint64_t period = CyclePeriod();
    const std::uint64_t start = CounterNow();
    const std::uint64_t ticks = picoseconds / period;
    while (CounterNow() - start < ticks) {
    }
}

} // namespace

bool CalibrateSystemClock() {
    std::lock_guard<std::mutex> guard(s_CalibrateMutex);
    if (s_CyclePeriodPs.load(std::memory_order_relaxed) == 0) {
        s_StartCount = CounterNow();
        s_CyclePeriodPs.store(1000, std::memory_order_release);
    }
    return true;
}

void oxDelayUs(std::uint32_t microseconds) {
    if (microseconds != 0) {
        SpinPs(static_cast<std::uint64_t>(microseconds) * 1000000u);
    }
}

void oxDelayNs(std::uint32_t nanoseconds) {
    if (nanoseconds != 0) {
        SpinPs(static_cast<std::uint64_t>(nanoseconds) * 1000u);
    }
}

void oxSleepMs(std::uint32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

std::uint32_t oxGetMsCount() {
    const std::uint64_t period = CyclePeriod();
    const std::uint64_t elapsed = CounterNow() - s_StartCount;
    // ticks × ps per tick / 10^9 = ms; divided first so that the product cannot overflow.
    return static_cast<std::uint32_t>(elapsed / 1000000u * period / 1000u);
}

std::time_t oxTime() {
    return std::time(nullptr);
}

std::tm oxLocalTime(std::time_t time) {
    std::tm parts{};
    localtime_r(&time, &parts);
    return parts;
}

std::time_t oxGetLocalTime(std::uint32_t* words) {
    const std::time_t now = oxTime();
    if (words != nullptr) {
        const std::tm parts = oxLocalTime(now);
        words[0] = static_cast<std::uint32_t>(parts.tm_sec);
        words[1] = static_cast<std::uint32_t>(parts.tm_min);
        words[2] = static_cast<std::uint32_t>(parts.tm_hour);
        words[3] = static_cast<std::uint32_t>(parts.tm_mday);
        words[4] = static_cast<std::uint32_t>(parts.tm_mon);
        words[5] = static_cast<std::uint32_t>(parts.tm_year + 1900);
    }
    return now;
}
