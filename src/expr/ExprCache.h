#pragma once
// Reuse of results inside the embedded expressions of string literals ("{...}"), for the rest
// of one top-level evaluation. A literal's embedded expressions overlap (each "{" runs to the
// first "}" after it) and the operand of a prefix operator is the whole rest of its text, so
// the same texts come back many times. A kept result is reused only where a new evaluation
// could not differ: the text and the scope are the same, its evaluation made no resolver call,
// the variables and the resolver did not change since (the generation is the same), and the
// nesting it needs from here stays within the depth limit, or, where the depth limit refused
// something inside it, it is evaluated at the same depth again.
#include "expr/Expr.h"

#include <cstddef>
#include <cstdint>

// How the evaluator evaluates a text; the cache calls it on a miss.
using ExprEvaluateFunction = uint32_t (*)(const char* text, size_t length, ExprValue* value,
                                          const char* scope, const char** errorText);

// Evaluates the text through the cache (errorText is never null). A hit counts as a step.
uint32_t ExprEvaluateCached(const char* text, size_t length, ExprValue* value, const char* scope,
                            const char** errorText, ExprEvaluateFunction evaluate);

// Forgets every kept result (at the start and end of a top-level evaluation).
void ExprCacheClear();
