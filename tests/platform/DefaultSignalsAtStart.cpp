// Linked into the platform tests: the signals their tests raise start at their default action,
// even when the shell that started the program ignores them (`trap '' INT`, `nohup ... &`).
// The console keeps an ignored signal ignored on purpose and installs its handlers once per
// process, so this must happen before the first console call, in the program itself: a child
// that reset them would wipe a handler an earlier test installed.
#include <csignal>
#include <initializer_list>

namespace {

[[maybe_unused]] const bool s_DefaultSignals = [] {
    for (int sig : {SIGINT, SIGQUIT, SIGPIPE, SIGTERM, SIGHUP, SIGTSTP}) {
        struct sigaction old {};
        if (sigaction(sig, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) {
            std::signal(sig, SIG_DFL);
        }
    }
    return true;
}();

} // namespace
