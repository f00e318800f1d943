#pragma once
// Operand evaluation shared by the operator functions.
#include "expr/ExprInternal.h"

// Evaluates operand index; an error is reported at the operand's start offset + the position.
inline uint32_t ExprEvalOperand(const char* text, const uint32_t* start, const uint32_t* end,
                                uint32_t index, ExprValue* value, const char* scope,
                                const char** errorText) {
    const uint32_t position =
        ExprEvaluate(text + start[index], end[index] - start[index], value, scope, errorText);
    return position == 0 ? 0 : start[index] + position;
}

// Evaluates the first operand of an operator whose pattern has needed operands. Returns 0 or
// the error position ("Missing an expression after the operator." at 1 when the text ended
// before the last operand).
inline uint32_t ExprEvalFirst(const char* text, const uint32_t* start, const uint32_t* end,
                              uint32_t count, uint32_t needed, ExprValue* value, const char* scope,
                              const char** errorText) {
    if (count < needed) {
        return ExprFail(errorText, expr_msg::kMissingExpr, 1);
    }
    return ExprEvalOperand(text, start, end, 0, value, scope, errorText);
}

// Evaluates the two operands of a binary operator, left first. Returns 0 or the error position.
inline uint32_t ExprEvalBoth(const char* text, const uint32_t* start, const uint32_t* end,
                             uint32_t count, ExprValue* left, ExprValue* right, const char* scope,
                             const char** errorText) {
    if (const uint32_t e = ExprEvalFirst(text, start, end, count, 2, left, scope, errorText)) {
        return e;
    }
    return ExprEvalOperand(text, start, end, 1, right, scope, errorText);
}
