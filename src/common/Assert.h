#pragma once
// The one assertion reporter of the chip library and both programs.
//
// An assertion prints the failed expression, the source file and the line, and stops the
// program. Tests replace the handler to record assertions instead; the asserting code then
// goes on with its documented fallback result, so every call site must be written to survive
// a handler that returns.

using AssertHandler = void (*)(const char* expression, const char* file, int line);

// Installs a handler (nullptr restores the default one) and returns the previous handler.
AssertHandler SetAssertHandler(AssertHandler handler);

// Reports a failed assertion through the installed handler. Returns when the handler returns.
void AssertFailed(const char* expression, const char* file, int line);

// Q3V_ASSERT(cond): true when cond holds; otherwise reports "cond" and yields false, so callers
// write `if (!Q3V_ASSERT(p != nullptr)) return 0;`.
#define Q3V_ASSERT(cond) ((cond) ? true : (AssertFailed(#cond, __FILE__, __LINE__), false))

// Q3V_ASSERT_TEXT(cond, text): the same, reporting the given text instead of the expression.
#define Q3V_ASSERT_TEXT(cond, text)                                                                \
    ((cond) ? true : (AssertFailed(text, __FILE__, __LINE__), false))
