#include "common/Assert.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace {

// Prints on stderr after everything already written to stdout, then stops.
void DefaultAssertHandler(const char* expression, const char* file, int line) {
    std::fflush(stdout);
    std::fprintf(stderr, "Assertion failed: %s, file %s, line %d\n", expression, file, line);
    std::fflush(stderr);
    std::abort();
}

constinit std::atomic<AssertHandler> s_AssertHandler{&DefaultAssertHandler};

} // namespace

AssertHandler SetAssertHandler(AssertHandler handler) {
    return s_AssertHandler.exchange(handler ? handler : &DefaultAssertHandler);
}

void AssertFailed(const char* expression, const char* file, int line) {
    s_AssertHandler.load()(expression, file, line);
}
