#pragma once
// Operand evaluation shared by the operator functions.
#include "expr/ExprInternal.h"

// Evaluates operand i_Index; an error is reported at the operand's start offset + the position.
inline uint32_t ExprEvalOperand(const char* i_Text, const uint32_t* i_Start, const uint32_t* i_End,
                                uint32_t i_Index, ExprValue* o_Value, const char* i_Scope,
                                const char** o_ErrorText) {
    const uint32_t position =
        ExprEvaluate(i_Text + i_Start[i_Index], i_End[i_Index] - i_Start[i_Index], o_Value, i_Scope,
                     o_ErrorText);
    return position == 0 ? 0 : i_Start[i_Index] + position;
}

// Evaluates the first operand of an operator whose pattern has i_Needed operands. Returns 0 or
// the error position ("Missing an expression after the operator." at 1 when the text ended
// before the last operand).
inline uint32_t ExprEvalFirst(const char* i_Text, const uint32_t* i_Start, const uint32_t* i_End,
                              uint32_t i_Count, uint32_t i_Needed, ExprValue* o_Value,
                              const char* i_Scope, const char** o_ErrorText) {
    if (i_Count < i_Needed)
        return ExprFail(o_ErrorText, expr_msg::MissingExpr, 1);
    return ExprEvalOperand(i_Text, i_Start, i_End, 0, o_Value, i_Scope, o_ErrorText);
}

// Evaluates the two operands of a binary operator, left first. Returns 0 or the error position.
inline uint32_t ExprEvalBoth(const char* i_Text, const uint32_t* i_Start, const uint32_t* i_End,
                             uint32_t i_Count, ExprValue* o_Left, ExprValue* o_Right,
                             const char* i_Scope, const char** o_ErrorText) {
    if (const uint32_t e =
            ExprEvalFirst(i_Text, i_Start, i_End, i_Count, 2, o_Left, i_Scope, o_ErrorText))
        return e;
    return ExprEvalOperand(i_Text, i_Start, i_End, 1, o_Right, i_Scope, o_ErrorText);
}
