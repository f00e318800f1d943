// Time of day, events, threads and timers of the layer's services.

#include "hcl/Services.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

// A generous bound on waits that should end at once; it only keeps a broken build from hanging.
constexpr std::uint32_t kNoHang = 10000;

TEST(ServicesTime, LocalTimeWordsMatchTheCalendarTime) {
    std::uint32_t words[6] = {};
    const std::time_t now = oxGetLocalTime(words);
    const std::tm parts = oxLocalTime(now);
    const std::uint32_t expected[6] = {static_cast<std::uint32_t>(parts.tm_sec),
                                       static_cast<std::uint32_t>(parts.tm_min),
                                       static_cast<std::uint32_t>(parts.tm_hour),
                                       static_cast<std::uint32_t>(parts.tm_mday),
                                       static_cast<std::uint32_t>(parts.tm_mon),
                                       static_cast<std::uint32_t>(parts.tm_year + 1900)};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(words[i], expected[i]) << "word " << i;
    }
    EXPECT_LE(words[4], 11u) << "months count from 0";
    EXPECT_GE(words[5], 2000u) << "full year";
    EXPECT_GE(oxGetLocalTime(nullptr), now);
}

TEST(ServicesTime, ClockNeverRunsBackwards) {
    oxDelayUs(0);
    oxDelayNs(0);
    std::uint32_t last = oxGetMsCount();
    for (int i = 0; i < 1000; ++i) {
        oxDelayUs(1);
        const std::uint32_t now = oxGetMsCount();
        ASSERT_GE(now, last);
        last = now;
    }
}

TEST(ServicesEvent, AutoResetReleasesOneWait) {
    oxHandle event = oxCreateEvent();
    ASSERT_NE(event, nullptr);
    EXPECT_FALSE(oxWaitEvent(event, 0)) << "created not signalled";
    EXPECT_TRUE(oxSetEvent(event));
    EXPECT_TRUE(oxWaitEvent(event, 0));
    EXPECT_FALSE(oxWaitEvent(event, 0)) << "the wait reset it";
    EXPECT_TRUE(oxSetEvent(event));
    EXPECT_TRUE(oxResetEvent(event));
    EXPECT_FALSE(oxWaitEvent(event, 0));
    EXPECT_TRUE(oxCloseHandle(event));
}

TEST(ServicesEvent, BadHandles) {
    EXPECT_FALSE(oxSetEvent(nullptr));
    EXPECT_FALSE(oxResetEvent(nullptr));
    EXPECT_FALSE(oxWaitEvent(nullptr, 0));
    EXPECT_FALSE(oxCloseHandle(nullptr));
    EXPECT_FALSE(oxWaitThread(nullptr, 0));
    oxHandle event = oxCreateEvent();
    EXPECT_FALSE(oxWaitThread(event, 0)) << "an event is no thread";
    EXPECT_FALSE(oxSetThreadPriority(event, 1));
    oxCloseHandle(event);
    EXPECT_EQ(oxCreateThread(nullptr, nullptr), nullptr);
}

std::uint32_t WaitForGo(void* event) {
    return oxWaitEvent(static_cast<oxHandle>(event), oxINFINITE) ? 0 : 1;
}

TEST(ServicesThread, WaitTimesOutKeepingTheHandleThenSucceeds) {
    oxHandle go = oxCreateEvent();
    oxHandle thread = oxCreateThread(WaitForGo, go);
    ASSERT_NE(thread, nullptr);
    EXPECT_FALSE(oxWaitThread(thread, 0)) << "still waiting for go";
    EXPECT_FALSE(oxSetThreadPriority(thread, 3));
    EXPECT_FALSE(oxSetThreadPriority(thread, -1));
    EXPECT_TRUE(oxSetThreadPriority(thread, 2));
    EXPECT_TRUE(oxSetThreadPriority(thread, 1));
    EXPECT_FALSE(oxSuspendThread(thread));
    EXPECT_FALSE(oxResumeThread(thread));
    oxSetEvent(go);
    EXPECT_TRUE(oxWaitThread(thread, oxINFINITE)); // closes the handle
    oxCloseHandle(go);
}

TEST(ServicesThread, ClosingTheHandleOfARunningThreadLetsItFinish) {
    static std::atomic<int> s_Ran{0};
    oxHandle go = oxCreateEvent();
    oxHandle done = oxCreateEvent();
    struct Args {
        oxHandle Go, Done;
    } args{go, done};
    oxHandle thread = oxCreateThread(
        [](void* a) -> std::uint32_t {
            auto* args = static_cast<Args*>(a);
            oxWaitEvent(args->Go, oxINFINITE);
            s_Ran = 1;
            oxSetEvent(args->Done);
            return 0;
        },
        &args);
    ASSERT_NE(thread, nullptr);
    EXPECT_TRUE(oxCloseHandle(thread));
    oxSetEvent(go);
    ASSERT_TRUE(oxWaitEvent(done, kNoHang));
    EXPECT_EQ(s_Ran.load(), 1);
    oxCloseHandle(go);
    oxCloseHandle(done);
}

// Counts the timer's calls and, at the third, stops the timer from inside its own callback and
// tells the test. Stopping there means that no further call can start once the test has been told,
// so the probe may live on the test's stack and every run of a test starts from a fresh count.
struct TimerProbe {
    std::atomic<int> Calls{0};
    std::atomic<oxHandle> Timer{nullptr}; // known once oxStartTimer has returned
    std::atomic<bool> Stopped{false};
    oxHandle Third = oxCreateEvent();
    ~TimerProbe() { oxCloseHandle(Third); }
};

void CountCall(void* probeIn) {
    auto* probe = static_cast<TimerProbe*>(probeIn);
    const oxHandle timer = probe->Timer.load();
    if (++probe->Calls >= 3 && timer != nullptr && !probe->Stopped.exchange(true)) {
        oxSetEvent(timer);        // the timer's thread ends at its next wait and closes it
        oxSetEvent(probe->Third); // the probe's last use by this thread
    }
}

// Starts a timer on a fresh probe and waits until it has called back three times.
void ExpectThreeCallsThenStop(std::uint32_t periodMs) {
    TimerProbe probe;
    const oxHandle timer = oxStartTimer(periodMs, CountCall, &probe);
    ASSERT_NE(timer, nullptr);
    probe.Timer = timer;
    if (!oxWaitEvent(probe.Third, kNoHang)) {
        ADD_FAILURE() << "the timer did not call back three times";
        if (!probe.Stopped.exchange(true)) {
            oxSetEvent(timer);
        }
        return;
    }
    EXPECT_GE(probe.Calls.load(), 3);
}

TEST(ServicesTimer, CallsRepeatedlyUntilStopped) {
    ExpectThreeCallsThenStop(1);
}

TEST(ServicesTimer, ZeroPeriodCallsAgainAtOnce) {
    ExpectThreeCallsThenStop(0);
}

TEST(ServicesTimer, NullCallbackStartsNothing) {
    EXPECT_EQ(oxStartTimer(10, nullptr, nullptr), nullptr);
}

} // namespace
