// Two programs on one simulated board, each exchanging packets under the board lock: neither
// ever takes the other's replies. The workers are this test program itself, started again with
// only the (otherwise disabled) worker test selected.

#include "CsclFixture.h"

#include "hcl/Services.h"

#include "support/SelfWorker.h"

#include <sys/wait.h>

namespace cscltest {
namespace {

constexpr int kRounds = 3000;

TEST(CsclTwoProcesses, DISABLED_Worker) {
    const char* text = std::getenv("Q3V_CSCL_WORKER");
    ASSERT_NE(text, nullptr);
    const std::uint32_t address = static_cast<std::uint32_t>(std::strtoul(text, nullptr, 0));
    AnswerNo();
    ::testing::internal::CaptureStdout();
    oxLockBoard(1);
    const bool opened = oxCsclOpen(0, 4, kUsbConfig);
    oxLockBoard(0);
    const std::string output = ::testing::internal::GetCapturedStdout();
    ASSERT_TRUE(opened) << output;
    int wrong = 0;
    for (int i = 0; i < kRounds && wrong < 10; ++i) {
        const std::uint32_t value = address << 8 | static_cast<std::uint32_t>(i & 0xFF);
        oxLockBoard(1);
        oxCsclWrMge(address, 4, 1, value);
        const std::uint32_t back = oxCsclRdMge(address, 4, 1);
        oxLockBoard(0);
        if (back != value) {
            ++wrong;
            ADD_FAILURE() << std::hex << "round " << i << ": wrote " << value << ", read " << back;
        }
    }
    EXPECT_EQ(wrong, 0);
}

pid_t StartWorker(const std::string& address, const std::string& output) {
    return q3vtest::StartSelfWorker("CsclTwoProcesses.DISABLED_Worker",
                                    "Q3V_CSCL_WORKER=" + address, output);
}

TEST(CsclTwoProcesses, NeverSeeEachOthersReplies) {
    setenv("Q3VSIM_DIR", Folder().c_str(), 1);
    unsetenv("Q3VBOARD");
    const std::string first = Folder() + "/worker-1.txt";
    const std::string second = Folder() + "/worker-2.txt";
    const pid_t a = StartWorker("0x1000", first);
    const pid_t b = StartWorker("0x2000", second);
    ASSERT_GT(a, 0);
    ASSERT_GT(b, 0);
    int statusA = 0;
    int statusB = 0;
    ASSERT_EQ(waitpid(a, &statusA, 0), a);
    ASSERT_EQ(waitpid(b, &statusB, 0), b);
    const std::string outputA = q3vtest::WorkerOutput(first);
    const std::string outputB = q3vtest::WorkerOutput(second);
    EXPECT_TRUE(q3vtest::WorkerPassed(statusA, outputA)) << outputA;
    EXPECT_TRUE(q3vtest::WorkerPassed(statusB, outputB)) << outputB;
}

} // namespace
} // namespace cscltest
