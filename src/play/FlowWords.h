#pragma once
// The word rules of IF and WHILE: the optional THEN and DO words before their statements, and
// what counts as a true condition.
#include "expr/Expr.h"

// The third word of IF counts as THEN when its first four characters are "THEN" ignoring case
// ("then", "Thenx") or it is a beginning of "THEN" ("t", "th").
bool IsThenWord(const char* word);

// The third word of WHILE counts as DO when its first two characters are "DO" ignoring case
// ("do", "done") or it is "d".
bool IsDoWord(const char* word);

// A condition is true when it is a number other than 0, or a text that is not empty.
bool IsTrueCondition(const ExprValue& value);
