#pragma once
// Runs one disabled test of the running test program as a second process (a worker), with one
// extra environment variable, and tells whether it passed. Tests use it where a second program
// must act on the same simulated board.

#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace q3vtest {

struct WorkerRun {
    bool Passed = false;
    std::string Output; // the worker's standard output and standard error
};

// Runs the test named test ("Suite.DISABLED_Name") of this program with variable ("NAME=value")
// added to the environment; its output goes through the file outputPath.
inline WorkerRun RunSelfWorker(const std::string& test, const std::string& variable,
                               const std::string& outputPath) {
    std::vector<std::string> environment;
    for (char** e = environ; *e != nullptr; ++e) {
        environment.emplace_back(*e);
    }
    environment.push_back(variable);
    environment.emplace_back("Q3V_TEST_WORKER=1");
    std::vector<char*> envp;
    for (auto& e : environment) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    std::string program = "/proc/self/exe";
    std::string filter = "--gtest_filter=" + test;
    std::string disabled = "--gtest_also_run_disabled_tests";
    char* argv[] = {program.data(), filter.data(), disabled.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = -1;
    WorkerRun run;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp.data()) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        run.Output = "the worker could not be started";
        return run;
    }
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    const bool ended = waitpid(pid, &status, 0) == pid;
    std::ifstream file(outputPath);
    std::stringstream text;
    text << file.rdbuf();
    run.Output = text.str();
    run.Passed = ended && WIFEXITED(status) && WEXITSTATUS(status) == 0 &&
                 run.Output.find("[  PASSED  ] 1 test") != std::string::npos;
    return run;
}

} // namespace q3vtest
