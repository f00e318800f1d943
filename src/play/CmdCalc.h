#pragma once
// CALC: the built-in calculator, row "calc" of the command table.
#include "play/CommandHandlers.h"

// "calc expression" evaluates the expression in the running script's scope, keeps the value and
// prints it (CAT_SET): a number as "%lXh (%lut)", a text in double quotes; "calc" alone prints
// the kept value again. An error shows a caret under the offending column. CALC gives no value
// back to an assignment.
bool CmdCalc(int32_t argc, char** argv, ExprValue* result);
