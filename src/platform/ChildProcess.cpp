// Runs a program as a child and waits for it.
#include "platform/ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace {

// Ignores SIGINT and SIGQUIT for its life, and puts the previous handling back.
class IgnoreInterrupts {
public:
    IgnoreInterrupts() {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        sigaction(SIGINT, &ignore, &m_Int);
        sigaction(SIGQUIT, &ignore, &m_Quit);
    }
    ~IgnoreInterrupts() {
        sigaction(SIGINT, &m_Int, nullptr);
        sigaction(SIGQUIT, &m_Quit, nullptr);
    }
    IgnoreInterrupts(const IgnoreInterrupts&) = delete;
    IgnoreInterrupts& operator=(const IgnoreInterrupts&) = delete;

private:
    struct sigaction m_Int {};
    struct sigaction m_Quit {};
};

} // namespace

ChildResult RunChildAndWait(const std::vector<std::string>& words) {
    ChildResult result{false, 0, {}};
    if (words.empty()) {
        result.ErrorText = "no program";
        return result;
    }
    std::vector<char*> argv;
    for (const std::string& word : words) {
        argv.push_back(const_cast<char*>(word.c_str()));
    }
    argv.push_back(nullptr);

    // The child starts with the default handling of the two signals this process ignores.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGQUIT);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);

    IgnoreInterrupts ignore;
    pid_t child = 0;
    const int error = posix_spawn(&child, argv[0], nullptr, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    if (error != 0) {
        result.ErrorText = std::strerror(error);
        return result;
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            result.ErrorText = std::strerror(errno);
            return result;
        }
    }
    result.Started = true;
    if (WIFEXITED(status)) {
        result.Status = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        result.Status = 128 + WTERMSIG(status);
    }
    return result;
}
