// Polled interrupts: the source table, the poll thread reading through the front, and changing
// or clearing the callback while the thread runs.

#include "FrontFixture.h"

#include "hcl/HclPoll.h"
#include "hcl/Services.h"
#include "support/TempFolder.h"
#include "support/Waiting.h"

#include <sys/wait.h>
#include <unistd.h>

using namespace fronttest;

namespace {

// The calls of the two callbacks.
q3vtest::CallCount g_CallsA;
q3vtest::CallCount g_CallsB;

void CallbackA() {
    g_CallsA.Add();
}

void CallbackB() {
    g_CallsB.Add();
}

q3vtest::CallCount g_Stopped;

void StopsItself() {
    oxSetPollInterruptCallback(nullptr);
    g_Stopped.Add();
}

class PollTest : public FrontTest {
protected:
    void SetUp() override {
        FrontTest::SetUp();
        oxResetPollInterruptsForTesting();
        Acquire();
        m_Board->PrintCalls = false;
        g_CallsA.Reset();
        g_CallsB.Reset();
        g_Stopped.Reset();
    }
    void TearDown() override {
        oxResetPollInterruptsForTesting();
        FrontTest::TearDown();
    }
};

} // namespace

TEST_F(PollTest, AtMostEightSourcesAreKept) {
    for (unsigned i = 0; i < oxHCL_MAX_POLL_SOURCES; ++i) {
        EXPECT_TRUE(oxAddPollInterrupt(0, 0, 0x60 + 2 * i, 0, 1));
    }
    EXPECT_FALSE(oxAddPollInterrupt(0, 0, 0x70, 0, 1));
    EXPECT_EQ(oxPollInterruptCount(), oxHCL_MAX_POLL_SOURCES);
}

TEST_F(PollTest, TheThreadReadsThroughTheFrontAndCallsBackForSetBits) {
    m_Board->StoreReg(0x60, 2, 0x0001);
    ASSERT_TRUE(oxHclStartTrace(oxHCL_TRACE_READS, nullptr));
    ASSERT_TRUE(oxAddPollInterrupt(1, 2, 0x60, 4, 0x0001));
    ASSERT_TRUE(oxSetPollInterruptCallback(CallbackA));
    EXPECT_TRUE(g_CallsA.WaitFor(3));
    ASSERT_TRUE(oxSetPollInterruptCallback(nullptr));
    // The reads went through the front: the trace holds them (one record, counted again).
    EXPECT_EQ(oxHclTraceRecordCount(), 2u);
}

TEST_F(PollTest, OnlyASourceWithAMaskedBitSetCallsBack) {
    m_Board->StoreReg(0x60, 2, 0x0001);
    m_Board->StoreReg(0x62, 2, 0xFFFE); // every bit but the one polled
    ASSERT_TRUE(oxAddPollInterrupt(0, 0, 0x62, 0, 0x0001));
    ASSERT_TRUE(oxAddPollInterrupt(0, 0, 0x60, 0, 0x0001));
    const std::size_t before = Calls().size();
    ASSERT_TRUE(oxSetPollInterruptCallback(CallbackA));
    EXPECT_TRUE(g_CallsA.WaitFor(3));
    ASSERT_TRUE(oxSetPollInterruptCallback(nullptr)); // the thread has ended
    unsigned reads60 = 0;
    unsigned reads62 = 0;
    for (std::size_t i = before; i < Calls().size(); ++i) {
        reads60 += Calls()[i] == "ReadReg16 60";
        reads62 += Calls()[i] == "ReadReg16 62";
    }
    EXPECT_GE(reads62, 3u); // polled as often, but never a call
    // A call for each read of the other source (but a last read after the callback was cleared).
    EXPECT_LE(g_CallsA.Value(), reads60);
    EXPECT_GE(g_CallsA.Value() + 1, reads60);
}

TEST_F(PollTest, ARunningThreadPicksUpANewCallback) {
    m_Board->StoreReg(0x60, 2, 0x8000);
    ASSERT_TRUE(oxAddPollInterrupt(0, 0, 0x60, 0, 0x8000));
    ASSERT_TRUE(oxSetPollInterruptCallback(CallbackA));
    ASSERT_TRUE(g_CallsA.WaitFor(1));
    ASSERT_TRUE(oxSetPollInterruptCallback(CallbackB));
    ASSERT_TRUE(g_CallsB.WaitFor(1));
    // Once the new callback has been called the old one is never called again (one thread
    // calls them in turn), also not before the thread is stopped.
    const unsigned a = g_CallsA.Value();
    EXPECT_TRUE(g_CallsB.WaitFor(3));
    ASSERT_TRUE(oxSetPollInterruptCallback(nullptr));
    EXPECT_EQ(g_CallsA.Value(), a);
}

TEST_F(PollTest, ACallbackMayStopItsOwnThreadAndPollingCanStartAgain) {
    m_Board->StoreReg(0x60, 2, 0x0004);
    ASSERT_TRUE(oxAddPollInterrupt(0, 0, 0x60, 0, 0x0004));
    ASSERT_TRUE(oxSetPollInterruptCallback(StopsItself));
    EXPECT_TRUE(g_Stopped.WaitFor(1));
    ASSERT_TRUE(oxSetPollInterruptCallback(CallbackA));
    EXPECT_TRUE(g_CallsA.WaitFor(1));
    ASSERT_TRUE(oxSetPollInterruptCallback(nullptr));
}

TEST_F(PollTest, ClearingTheCallbackWithoutAThreadSucceeds) {
    EXPECT_TRUE(oxSetPollInterruptCallback(nullptr));
}

// A program may end while the poll thread still runs (nothing stops it at exit): the thread goes
// on reading registers and recording trace events while the static objects are destroyed, so
// the state it uses must outlive them. The child ends with exit() while its poll thread runs.
TEST_F(PollTest, ProgramEndsCleanlyWhileThePollThreadRuns) {
    const q3vtest::TempFolder folder("q3v-poll");
    ASSERT_FALSE(folder.Path().empty());
    const std::string log = folder.File("poll.log");
    std::fflush(stdout);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        // The layer's own table (nothing acquired: reads give 0), not the recording fake, whose
        // record is a static object of the test.
        oxHclResetFrontForTesting();
        oxHclStartTrace(oxHCL_TRACE_READS, log.c_str());
        oxAddPollInterrupt(0, 0, 0x40, 0, 0xFFFF);
        oxSetPollInterruptCallback(CallbackA);
        for (int pass = 0; pass < 20000 && oxHclTraceRecordCount() == 0; ++pass) {
            oxSleepMs(1); // until the thread has polled (a bound against a hang, not a time)
        }
        std::exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}
