#pragma once
// The statement executor: cuts a line into statements, recognises the assignment form
// ("target = command ..."), splits each statement into words (Args.h) and dispatches them
// through the command table it was handed.
#include "play/CommandHandlers.h"

#include <cstddef>
#include <cstdint>
#include <span>

// Runs a script named like a command (the script runner's entry, RunScript).
using ScriptRunnerHook = bool (*)(bool reportMissing, int32_t argc, char** argv, ExprValue* result);

// Hands the dispatcher the command table it looks words up in, and the script runner that a
// word naming no command goes to. Set once at start, before the first statement; until then
// every word is unknown and fails silently.
void SetCommandTable(std::span<const CommandEntry> table, ScriptRunnerHook runScript);

// Lower-cases argv[0] in place, looks it up and runs it: a word that is no command names a
// script (the script runner); a row without handler, or one that needs the controller while it is
// not acquired (/nocard, a RESET that failed), fails with its error. Returns the handler's result.
bool DispatchCommand(int32_t argc, char** argv, ExprValue* result);

// Executes one line (length excludes the line end): statements separated by ";" outside quotes,
// "'" starts a comment, IF/ELSE/WHILE take the rest of the line, "target = command" assigns the
// command's result. True when every statement succeeded (the first failure stops the line).
// *ran (may be null) tells whether at least one statement had words and was dispatched.
bool ExecuteStatements(const char* line, size_t length, bool* ran);
