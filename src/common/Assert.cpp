#include "common/Assert.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace {

// Prints on stderr after everything already written to stdout, then stops.
void DefaultAssertHandler(const char* i_Expression, const char* i_File, int i_Line) {
    std::fflush(stdout);
    std::fprintf(stderr, "Assertion failed: %s, file %s, line %d\n", i_Expression, i_File, i_Line);
    std::fflush(stderr);
    std::abort();
}

constinit std::atomic<AssertHandler> g_AssertHandler{&DefaultAssertHandler};

} // namespace

AssertHandler SetAssertHandler(AssertHandler i_Handler) {
    return g_AssertHandler.exchange(i_Handler ? i_Handler : &DefaultAssertHandler);
}

void AssertFailed(const char* i_Expression, const char* i_File, int i_Line) {
    g_AssertHandler.load()(i_Expression, i_File, i_Line);
}
