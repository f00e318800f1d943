// The kernel-driver transport over the simulated board's driver node: windows and their sizes,
// slots, the interrupt record, the interrupt thread and its end, the exit clean-up and the pinned
// process.

#include "hcl/KernelDriver.h"
#include "board/BoardControl.h"
#include "board/SimBoard.h"
#include "devices/DrvDevice.h"
#include "hcl/ServicesAffinity.h"
#include "support/SelfWorker.h"
#include "support/SimBoardSetup.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <pthread.h>
#include <sched.h>
#include <sys/mman.h>
#include <thread>
#include <unistd.h>

namespace {

const std::string& Folder() {
    return q3vtest::ProgramTempFolder("q3v-kdrv");
}

bool IsMapped(std::uintptr_t linear) {
    return msync(reinterpret_cast<void*>(linear), 4096, MS_ASYNC) == 0;
}

// Callbacks of the interrupt thread, counted.
struct CallbackCount {
    std::mutex Mutex;
    std::condition_variable Changed;
    int Calls = 0;
};
CallbackCount s_Callbacks;

void CountCallback() {
    std::lock_guard lock(s_Callbacks.Mutex);
    ++s_Callbacks.Calls;
    s_Callbacks.Changed.notify_all();
}

void DisableFromCallback() {
    CountCallback();
    oxDrvDisableInterrupts();
}

int Callbacks() {
    std::lock_guard lock(s_Callbacks.Mutex);
    return s_Callbacks.Calls;
}

// Waits for the count-th callback (the time limit only keeps a broken transport from hanging
// the test).
bool WaitForCallbacks(int count) {
    std::unique_lock lock(s_Callbacks.Mutex);
    return s_Callbacks.Changed.wait_for(lock, std::chrono::seconds(10),
                                        [count] { return s_Callbacks.Calls >= count; });
}

class KernelDriverTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_Board = q3vtest::PowerOnFreshBoard(Folder());
        ASSERT_NE(m_Board, nullptr);
        oxDrvResetForTesting();
        std::lock_guard lock(s_Callbacks.Mutex);
        s_Callbacks.Calls = 0;
    }
    void TearDown() override {
        oxDrvResetForTesting();
        board::ResetControls();
    }

    // Waits until done() holds, woken by the driver's activity on the board.
    template <typename Done> bool WaitOnBoard(Done done) {
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        for (;;) {
            const std::uint32_t sequence = m_Board->DriverWakeSequence();
            if (done()) {
                return true;
            }
            if (std::chrono::steady_clock::now() > limit) {
                return false;
            }
            m_Board->DriverWaitWake(sequence, 100);
        }
    }
    std::uint32_t Requests(std::uint32_t code) { return m_Board->DriverRequestCount(code); }

    std::shared_ptr<board::SimBoard> m_Board;
};

TEST_F(KernelDriverTest, WindowSizesAreTheDriversExtentTheMappedTwoMegabytesOrTheDefault) {
    std::uintptr_t linear = 0;
    std::uint32_t size = 0;
    ASSERT_TRUE(oxDrvMapBoard(0, &linear, &size));
    EXPECT_EQ(size, 0x70000u); // the size word of the driver's answer
    const std::uint8_t bytes[2] = {0x5A, 0xA5};
    ASSERT_TRUE(m_Board->WriteMemory(0x1000, bytes));
    EXPECT_EQ(std::memcmp(reinterpret_cast<const void*>(linear + 0x1000), bytes, 2), 0);

    std::uintptr_t mapped = 0;
    ASSERT_TRUE(oxDrvOpen(kDrvBoardPhysicalAddress + 0x1000, &mapped, &size, 1));
    EXPECT_EQ(size, 0x200000u); // what MAP mapped, not the default
    EXPECT_EQ(std::memcmp(reinterpret_cast<const void*>(mapped), bytes, 2), 0);

    // An answer without the size word: the default. Slot 0 is mapped again, the old window
    // unmapped first.
    ASSERT_TRUE(board::ApplyFaultList("drvshortaddress"));
    std::uintptr_t again = 0;
    ASSERT_TRUE(oxDrvMapBoard(0, &again, &size));
    EXPECT_EQ(size, 0x400000u);
    EXPECT_EQ(Requests(OXDRV_IOCTL_UNMAP), 1u);
    if (again != linear) {
        EXPECT_FALSE(IsMapped(linear));
    }
    EXPECT_TRUE(oxDrvOpen(0, nullptr, nullptr, 0)); // either pointer may be left out
}

TEST_F(KernelDriverTest, ARetryAfterARefusedMapSucceedsAndHighSlotsAreRefused) {
    std::uintptr_t linear = 0;
    std::uint32_t size = 0;
    EXPECT_FALSE(oxDrvOpen(kDrvBoardPhysicalAddress + 0x800, &linear, &size, 0)); // not aligned
    EXPECT_FALSE(oxDrvOpen(kDrvBoardPhysicalAddress + 0x201000, &linear, &size, 0));
    EXPECT_TRUE(oxDrvOpen(kDrvBoardPhysicalAddress, &linear, &size, 0));
    EXPECT_TRUE(oxDrvOpen(kDrvBoardPhysicalAddress, &linear, &size, 5));
    EXPECT_FALSE(oxDrvOpen(kDrvBoardPhysicalAddress, &linear, &size, 6));
    EXPECT_FALSE(oxDrvOpen(kDrvBoardPhysicalAddress, &linear, &size, 0xFFFFFFFF));
    EXPECT_EQ(Requests(OXDRV_IOCTL_MAP), 4u);
}

TEST_F(KernelDriverTest, WithoutTheDriverNothingOpens) {
    EXPECT_FALSE(oxDrvSetInterruptCallback(CountCallback));
    EXPECT_EQ(oxDrvGetVersion().Major, 0u);
    board::SetAbsent(0, true);
    std::uintptr_t linear = 0;
    std::uint32_t size = 0;
    EXPECT_FALSE(oxDrvMapBoard(0, &linear, &size));
    oxDrvClose(); // nothing to close
}

TEST_F(KernelDriverTest, OpeningPinsTheProcessToTheFirstProcessorItMayUse) {
    const std::vector<int> allowed = oxAllowedCpus();
    ASSERT_FALSE(allowed.empty());
    ASSERT_TRUE(oxDrvMapBoard(0, nullptr, nullptr));
    EXPECT_EQ(oxAllowedCpus(), std::vector<int>{allowed[0]});
    oxApplyAffinity(allowed);
}

TEST_F(KernelDriverTest, TheRecordHoldsEightEntriesAndGoesToTheDriverByteForByte) {
    for (std::uint32_t i = 0; i < 8; ++i) {
        EXPECT_TRUE(oxDrvAddInterrupt(i, 0x100 + i, 0x200 + i, 0x300 + i, i % 3));
    }
    EXPECT_FALSE(oxDrvAddInterrupt(9, 9, 9, 9, 9));
    ASSERT_TRUE(oxDrvMapBoard(0, nullptr, nullptr));
    ASSERT_TRUE(oxDrvSetInterruptCallback(CountCallback));

    std::vector<std::uint8_t> expected;
    auto put = [&expected](std::uint32_t word) {
        for (int shift = 0; shift < 32; shift += 8) {
            expected.push_back(static_cast<std::uint8_t>(word >> shift));
        }
    };
    put(static_cast<std::uint32_t>(getpid()));
    put(8);
    for (std::uint32_t i = 0; i < 8; ++i) {
        put(i);
        put(0x100 + i);
        put(0x200 + i);
        put(0x300 + i);
        put(i % 3 != 0 ? 1 : 0);
    }
    const auto record = m_Board->DriverInterruptRecord();
    ASSERT_EQ(expected.size(), record.size());
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), record.begin()));
}

TEST_F(KernelDriverTest, EachInterruptGivesOneCallbackAndNoneComesAfterDisable) {
    ASSERT_TRUE(oxDrvMapBoard(0, nullptr, nullptr));
    m_Board->RaiseInterrupt(1); // before the enable: no callback
    ASSERT_TRUE(oxDrvSetInterruptCallback(CountCallback));
    EXPECT_EQ(Requests(OXDRV_IOCTL_ENABLE_INTERRUPTS), 1u);
    for (int i = 1; i <= 5; ++i) {
        m_Board->RaiseInterrupt(static_cast<std::uint16_t>(i));
        ASSERT_TRUE(WaitForCallbacks(i));
    }
    ASSERT_TRUE(oxDrvSetInterruptCallback(CountCallback)); // enabled: only replaced
    EXPECT_EQ(Requests(OXDRV_IOCTL_ENABLE_INTERRUPTS), 1u);

    oxDrvDisableInterrupts(); // returns once the thread has ended
    EXPECT_EQ(Requests(OXDRV_IOCTL_DISABLE_INTERRUPTS), 1u);
    m_Board->RaiseInterrupt(6);
    EXPECT_EQ(Callbacks(), 5);
    oxDrvDisableInterrupts();
    EXPECT_EQ(Requests(OXDRV_IOCTL_DISABLE_INTERRUPTS), 1u);
}

std::atomic<int> s_CallbackPolicy{-1};

void RecordPolicy() {
    int policy = 0;
    sched_param param{};
    pthread_getschedparam(pthread_self(), &policy, &param);
    s_CallbackPolicy = policy;
    CountCallback();
}

// Whether this process may run a thread under the real-time policy.
bool RealTimePermitted() {
    bool permitted = false;
    std::thread probe([&permitted] {
        sched_param param{};
        param.sched_priority = sched_get_priority_min(SCHED_FIFO);
        permitted = pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) == 0;
    });
    probe.join();
    return permitted;
}

TEST_F(KernelDriverTest, TheCallbackRunsOnATimeCriticalThreadWherePermitted) {
    ASSERT_TRUE(oxDrvMapBoard(0, nullptr, nullptr));
    ASSERT_TRUE(oxDrvSetInterruptCallback(RecordPolicy));
    m_Board->RaiseInterrupt(1);
    ASSERT_TRUE(WaitForCallbacks(1));
    EXPECT_EQ(s_CallbackPolicy.load() == SCHED_FIFO, RealTimePermitted());
}

TEST_F(KernelDriverTest, OnlyDriverVersion5355Point48IsAcknowledged) {
    const struct {
        board::DriverVersion Version;
        bool Acks;
    } cases[] = {{{1, 0, 0}, false},
                 {{5355, 48, 0}, true},
                 {{5355, 49, 0}, false},
                 {{5354, 48, 0}, false}}; // the minor alone is not the version
    for (const auto& c : cases) {
        board::SetKernelDriverVersion(c.Version);
        oxDrvResetForTesting();
        const std::uint32_t acks = Requests(OXDRV_IOCTL_ACK_INTERRUPT);
        const std::uint32_t writes = m_Board->DriverWriteCount();
        const int calls = Callbacks();
        ASSERT_TRUE(oxDrvMapBoard(0, nullptr, nullptr));
        EXPECT_EQ(oxDrvGetVersion().Major, c.Version.Major);
        EXPECT_EQ(oxDrvGetVersion().Minor, c.Version.Minor);
        ASSERT_TRUE(oxDrvSetInterruptCallback(CountCallback));
        m_Board->RaiseInterrupt(1);
        ASSERT_TRUE(WaitForCallbacks(calls + 1));
        // The wait after the callback pends (no further interrupt); then the thread is ended.
        ASSERT_TRUE(WaitOnBoard([&] { return m_Board->DriverWriteCount() >= writes + 2; }));
        oxDrvDisableInterrupts();
        EXPECT_EQ(Requests(OXDRV_IOCTL_ACK_INTERRUPT) > acks, c.Acks)
            << c.Version.Major << "." << c.Version.Minor;
    }
}

TEST_F(KernelDriverTest, AFailedWaitEndsTheThreadInsteadOfStartingAgain) {
    ASSERT_TRUE(board::ApplyFaultList("drvwritefail"));
    ASSERT_TRUE(oxDrvMapBoard(0, nullptr, nullptr));
    ASSERT_TRUE(oxDrvSetInterruptCallback(CountCallback));
    // The thread disables interrupts itself.
    ASSERT_TRUE(WaitOnBoard([&] { return Requests(OXDRV_IOCTL_DISABLE_INTERRUPTS) == 1; }));
    m_Board->RaiseInterrupt(1);
    oxDrvDisableInterrupts(); // nothing left to disable
    EXPECT_EQ(m_Board->DriverWriteCount(), 1u);
    EXPECT_EQ(Requests(OXDRV_IOCTL_DISABLE_INTERRUPTS), 1u);
    EXPECT_EQ(Callbacks(), 0);

    // Interrupts can be enabled again.
    ASSERT_TRUE(oxDrvSetInterruptCallback(CountCallback));
    m_Board->RaiseInterrupt(2);
    EXPECT_TRUE(WaitForCallbacks(1));
}

TEST_F(KernelDriverTest, TheCallbackMayDisableInterrupts) {
    ASSERT_TRUE(oxDrvMapBoard(0, nullptr, nullptr));
    ASSERT_TRUE(oxDrvSetInterruptCallback(DisableFromCallback));
    m_Board->RaiseInterrupt(1);
    ASSERT_TRUE(WaitForCallbacks(1));
    ASSERT_TRUE(WaitOnBoard([&] { return Requests(OXDRV_IOCTL_DISABLE_INTERRUPTS) == 1; }));
    oxDrvClose();
    EXPECT_EQ(Callbacks(), 1);
    EXPECT_EQ(Requests(OXDRV_IOCTL_DISABLE_INTERRUPTS), 1u);
}

TEST_F(KernelDriverTest, CloseUnmapsEverySlotAndFreesTheDriver) {
    std::uintptr_t board = 0;
    std::uintptr_t window = 0;
    ASSERT_TRUE(oxDrvMapBoard(0, &board, nullptr));
    ASSERT_TRUE(oxDrvOpen(kDrvBoardPhysicalAddress, &window, nullptr, 3));
    ASSERT_TRUE(oxDrvSetInterruptCallback(CountCallback));
    oxDrvClose();
    EXPECT_FALSE(IsMapped(board));
    EXPECT_FALSE(IsMapped(window));
    EXPECT_EQ(Requests(OXDRV_IOCTL_UNMAP), 6u); // every slot, the empty ones too
    EXPECT_EQ(Requests(OXDRV_IOCTL_DISABLE_INTERRUPTS), 1u);
    const DrvDeviceHandle node = DrvDeviceOpen("Q3V47xxx");
    EXPECT_NE(node, DRV_NO_HANDLE);
    DrvDeviceClose(node);
}

// Workers: a second program on the same board folder.
TEST(KernelDriverWorker, DISABLED_Open) {
    const char* expect = std::getenv("Q3V_KDRV_EXPECT");
    ASSERT_NE(expect, nullptr);
    const bool opens = oxDrvMapBoard(0, nullptr, nullptr);
    if (std::string(expect) == "busy") {
        EXPECT_FALSE(opens);
        EXPECT_EQ(DrvDeviceLastError(), EBUSY);
    } else {
        EXPECT_TRUE(opens);
    }
}

TEST(KernelDriverWorker, DISABLED_OpenBoardMemoryAndExit) {
    ASSERT_NE(std::getenv("Q3V_KDRV_EXPECT"), nullptr);
    ASSERT_TRUE(oxOpenBoardMemory(0, nullptr, nullptr));
    ASSERT_TRUE(oxOpenBoardMemory(0, nullptr, nullptr));
    ASSERT_TRUE(oxDrvSetInterruptCallback(CountCallback));
    // The program ends with interrupts enabled and the board mapped: the exit clean-up closes.
}

TEST_F(KernelDriverTest, ASecondProgramOpensTheDriverOnlyOnceTheFirstClosedIt) {
    ASSERT_TRUE(oxDrvMapBoard(0, nullptr, nullptr));
    auto worker = q3vtest::RunSelfWorker("KernelDriverWorker.DISABLED_Open", "Q3V_KDRV_EXPECT=busy",
                                         Folder() + "/busy.txt");
    EXPECT_TRUE(worker.Passed) << worker.Output;
    oxDrvClose();
    worker = q3vtest::RunSelfWorker("KernelDriverWorker.DISABLED_Open", "Q3V_KDRV_EXPECT=open",
                                    Folder() + "/open.txt");
    EXPECT_TRUE(worker.Passed) << worker.Output;
}

TEST_F(KernelDriverTest, TheExitCleanUpOfOpenBoardMemoryClosesTheDriver) {
    const auto worker = q3vtest::RunSelfWorker("KernelDriverWorker.DISABLED_OpenBoardMemoryAndExit",
                                               "Q3V_KDRV_EXPECT=open", Folder() + "/exit.txt");
    ASSERT_TRUE(worker.Passed) << worker.Output;
    EXPECT_EQ(Requests(OXDRV_IOCTL_DISABLE_INTERRUPTS), 1u);
    EXPECT_EQ(Requests(OXDRV_IOCTL_UNMAP), 1u + 6u); // the second map's, then one clean-up
}

TEST(Affinity, MaskBitsSelectTheAllowedProcessorsInOrder) {
    using Cpus = std::vector<int>;
    const struct {
        std::uint32_t Mask;
        Cpus Allowed;
        Cpus Selected;
    } cases[] = {
        {1, {0, 1, 2, 3}, {0}},    {1, {2, 5, 7}, {2}},
        {6, {2, 5, 7}, {5, 7}},    {0, {2, 5, 7}, {2, 5, 7}},
        {8, {2, 5, 7}, {2, 5, 7}}, // above the own mask: all
        {0xFFFFFFFF, {4}, {4}},    {1, {}, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(oxCpusFromMask(c.Mask, c.Allowed), c.Selected) << std::hex << c.Mask;
    }
    EXPECT_FALSE(oxApplyAffinity(Cpus{}));
}

} // namespace
