#pragma once
// The script runner: runs a script file named like a command, line by line through the
// statement executor, with the words as its arguments, a variable scope and an output mask of
// its own, sections to jump to and a return value; scripts nest up to kMaxScriptDepth levels.
#include "expr/Expr.h"

#include <cstdint>

// Runs the script named by argv[0] with the words as its arguments; its return value goes to
// *result. False when the script cannot run or one of its lines failed (the failure stops every
// calling script too); with reportMissing a name that opens no file is reported.
bool RunScript(bool reportMissing, int32_t argc, char** argv, ExprValue* result);
