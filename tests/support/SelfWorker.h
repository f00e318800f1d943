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

// Starts the test named test ("Suite.DISABLED_Name") of this program as a second process with
// variable ("NAME=value") added to the environment, its standard output and error going to the
// file outputPath; gives its pid, or -1 when it could not be started. The worker is marked with
// Q3V_TEST_WORKER so that it keeps the board's controls its test hands it.
inline pid_t StartSelfWorker(const std::string& test, const std::string& variable,
                             const std::string& outputPath) {
    std::vector<std::string> environment;
    for (char** e = environ; *e != nullptr; ++e) {
        environment.emplace_back(*e);
    }
    environment.emplace_back("Q3V_TEST_WORKER=1");
    environment.push_back(variable);
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
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp.data()) != 0) {
        pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// The text of the file path (a worker's output).
inline std::string WorkerOutput(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// Whether a worker that ended with status passed its one test, judging by its output.
inline bool WorkerPassed(int status, const std::string& output) {
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 &&
           output.find("[  PASSED  ] 1 test") != std::string::npos;
}

// Runs a worker (StartSelfWorker) to its end and tells whether it passed.
inline WorkerRun RunSelfWorker(const std::string& test, const std::string& variable,
                               const std::string& outputPath) {
    WorkerRun run;
    const pid_t pid = StartSelfWorker(test, variable, outputPath);
    if (pid < 0) {
        run.Output = "the worker could not be started";
        return run;
    }
    int status = 0;
    const bool ended = waitpid(pid, &status, 0) == pid;
    run.Output = WorkerOutput(outputPath);
    run.Passed = ended && WorkerPassed(status, run.Output);
    return run;
}

} // namespace q3vtest
