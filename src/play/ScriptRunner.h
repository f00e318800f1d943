#pragma once
// The script runner's entry: runs a script file named like a command, with the words as its
// arguments.
#include "expr/Expr.h"

#include <cstdint>

// Runs the script named by argv[0] with the words as its arguments. False when the script cannot
// run or one of its lines failed; with reportMissing a name that opens no file is reported.
bool RunScript(bool reportMissing, int32_t argc, char** argv, ExprValue* result);
