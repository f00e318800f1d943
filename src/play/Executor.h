#pragma once
// The statement executor: cuts a line into statements, recognises the assignment form
// ("target = command ..."), splits each statement into words and dispatches them.
#include "play/CommandHandlers.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

// Allocates MAX_ARGS buffers of ARG_SIZE bytes, each emptied; false when any allocation failed
// (the others stay allocated).
bool ArgvAlloc(char** argv);
// Frees every non-null buffer and sets it to nullptr.
void ArgvFree(char** argv);

// An argument vector of its own (MAX_ARGS empty words of ARG_SIZE bytes), freed with it. Every
// dispatch splits into a vector of its own, so that nested execution (WHILE, RUN, HELP) never
// overwrites the words of the statement that started it.
class ArgVector {
public:
    ArgVector();
    ArgVector(const ArgVector&) = delete;
    ArgVector& operator=(const ArgVector&) = delete;

    char** Words() { return m_Words.data(); }
    char* operator[](size_t i) { return m_Words[i]; }

private:
    std::unique_ptr<char[]> m_Storage;
    std::array<char*, MAX_ARGS> m_Words{};
};

// Splits length characters of text into words (blanks, tabs, CR, LF separate; "quoted runs"
// with \" kept, (groups) and [groups] kept whole; a word keeps at most 255 characters, further
// characters are dropped; at most MAX_ARGS words are stored, the rest is ignored). Returns the
// number of words stored.
int32_t SplitArgs(const char* text, size_t length, char** argv);

// The sum over the first n words of the word's length plus one: the column of word n in an
// echoed command (for PrintCaretError).
uint32_t ArgsTextLength(char* const* argv, int32_t n);

// Lower-cases argv[0] in place, looks it up and runs it: a word that is no command names a
// script (RunScript); a row without handler, or one refused under /nocard, fails with its error.
// Returns the handler's result.
bool DispatchCommand(int32_t argc, char** argv, ExprValue* result);

// Executes one line (length excludes the line end): statements separated by ";" outside quotes,
// "'" starts a comment, IF/ELSE/WHILE take the rest of the line, "target = command" assigns the
// command's result. True when every statement succeeded (the first failure stops the line).
// *ran (may be null) tells whether at least one statement had words and was dispatched.
bool ExecuteStatements(const char* line, size_t length, bool* ran);
