// Two programs on one simulated board, each exchanging packets under the board lock: neither
// ever takes the other's replies. The workers are this test program itself, started again with
// only the (otherwise disabled) worker test selected.

#include "CsclFixture.h"

#include "hcl/Services.h"

#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

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
    std::vector<std::string> environment;
    for (char** e = environ; *e != nullptr; ++e) {
        environment.emplace_back(*e);
    }
    environment.push_back("Q3V_CSCL_WORKER=" + address);
    environment.emplace_back("Q3V_TEST_WORKER=1");
    std::vector<char*> envp;
    for (auto& e : environment) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    std::string program = "/proc/self/exe";
    std::string filter = "--gtest_filter=CsclTwoProcesses.DISABLED_Worker";
    std::string disabled = "--gtest_also_run_disabled_tests";
    char* argv[] = {program.data(), filter.data(), disabled.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    pid_t pid = -1;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp.data()) != 0) {
        pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

std::string FileText(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
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
    EXPECT_TRUE(WIFEXITED(statusA) && WEXITSTATUS(statusA) == 0) << FileText(first);
    EXPECT_TRUE(WIFEXITED(statusB) && WEXITSTATUS(statusB) == 0) << FileText(second);
    EXPECT_NE(FileText(first).find("[  PASSED  ] 1 test"), std::string::npos) << FileText(first);
}

} // namespace
} // namespace cscltest
