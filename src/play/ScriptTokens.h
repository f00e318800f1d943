#pragma once
// The tokens that a running script answers itself: arg[n] (the n-th word of the script's
// command, word 0 its name), argn (the number of words) and retval (the script's return value,
// the only one of them that can be written). Names without brackets are compared ignoring case
// over the length of the given name, so "a" names argn and "r", "ret" name retval; arg[...]
// is matched by the name before the bracket.
//
//   ExprSetResolver(ResolveScriptTokens);   // answers arg[n], argn and retval
//   if (FindScriptToken(text, length) != ScriptToken::None) {
//       GetScriptToken(text, length, &value, &errorText);
//   }
//
// A general token resolver that knows more names asks FindScriptToken first and hands these
// names to GetScriptToken and SetScriptToken.
#include "expr/Expr.h"

#include <cstdint>

enum class ScriptToken {
    None,   // no script token
    ArgN,   // argn
    RetVal, // retval
    Arg,    // arg[index]
};

// Which script token the text names (None for every other name).
ScriptToken FindScriptToken(const char* text, uint32_t length);

// Reads a script token into *value. 0, or a 1-based column within the text with *errorText set
// (at the prompt, a bracket or index error, an index not below argn).
uint32_t GetScriptToken(const char* text, uint32_t length, ExprValue* value,
                        const char** errorText);

// Writes a script token: retval takes the value (echoed with CAT_SET when echo is set); argn and
// arg[...] are read-only. 0, or a 1-based column with *errorText set.
uint32_t SetScriptToken(const char* text, uint32_t length, const ExprValue* value, bool echo,
                        const char** errorText);

// The evaluator's resolver for the script tokens: every other name is unknown ("Unknown token
// or expression." at its first column).
uint32_t ResolveScriptTokens(const char* text, uint32_t length, ExprValue* value,
                             const char** errorText);
