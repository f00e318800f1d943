// oxAssert: the layer's one prompting error reporter.

#include "hcl/Services.h"

#include "platform/Console.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

constexpr int kBell = 7;
constexpr int kEnter = '\r';

// One prompt at a time, whichever thread reports.
constinit std::mutex s_PromptMutex;

bool OnMainThread() {
    return static_cast<pid_t>(syscall(SYS_gettid)) == getpid();
}

// The answer: 'y', 'n' or Enter. At end of input the answer is Enter.
int ReadAnswer() {
    for (;;) {
        std::putchar(kBell);
        std::fflush(stdout);
        int key = ConsoleGetch();
        if (key == kConsoleEndOfInput || key == '\n') {
            key = kEnter;
        }
        if (key == kConsolePrefixFunction || key == kConsolePrefixExtended) {
            ConsoleGetch(); // the extended key's second code: the key counts as one other key
            continue;
        }
        if (key >= 'A' && key <= 'Z') {
            key = key - 'A' + 'a';
        }
        if (key == 'y' || key == 'n' || key == kEnter) {
            return key;
        }
    }
}

} // namespace

int oxAssert(const char* format, ...) {
    std::lock_guard<std::mutex> guard(s_PromptMutex);
    int printed = std::printf("ASSERT - ");
    std::va_list args;
    va_start(args, format);
    const int message = std::vprintf(format, args);
    va_end(args);
    if (message > 0) {
        printed += message;
    }
    std::printf("\nAbort [Y]: ");
    const int answer = ReadAnswer();
    std::putchar('\n');
    std::fflush(stdout);
    if (answer == 'n') {
        return printed;
    }
    if (OnMainThread()) {
        std::exit(oxASSERT_EXIT_CODE);
    }
    // From a worker thread the program's objects may still be in use by the main thread: end the
    // process without running their destructors, after the output has been written.
    std::fflush(nullptr);
    std::_Exit(oxASSERT_EXIT_CODE);
}
