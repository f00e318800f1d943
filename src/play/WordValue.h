#pragma once
// The value of one word of a statement, evaluated in the running script's scope (the globals
// at the prompt): the shared first step of the commands that take expressions as words.
#include "expr/Expr.h"

#include <cstdint>

// Evaluates the whole word. 0 on success; otherwise the 1-based error column within the word,
// with *errorText set to the evaluator's message (never null).
uint32_t EvaluateWord(const char* word, ExprValue* value, const char** errorText);
