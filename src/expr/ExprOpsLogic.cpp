// The conditional, the logical operators and equality.
#include "common/Text.h"
#include "expr/ExprOperands.h"

namespace {

// Equality of texts ignoring the case of the letters A-Z, whole texts.
bool SameTextNoCase(const ExprValue& i_A, const ExprValue& i_B) {
    return EqualsNoCase(ExprTextOf(i_A), ExprTextOf(i_B));
}

// == and !=: 1 when the operands are equal (i_Negate: when they differ), else 0.
uint32_t Equality(const char* i_Text, const uint32_t* i_Start, const uint32_t* i_End,
                  uint32_t i_Count, ExprValue* o_Value, const char* i_Scope,
                  const char** o_ErrorText, bool i_Negate) {
    ExprValue left{};
    ExprValue right{};
    if (const uint32_t e =
            ExprEvalBoth(i_Text, i_Start, i_End, i_Count, &left, &right, i_Scope, o_ErrorText))
        return e;
    if (left.IsString != right.IsString)
        return ExprFail(o_ErrorText, expr_msg::CannotMix, 3);
    const bool equal = left.IsString ? SameTextNoCase(left, right) : left.Number == right.Number;
    ExprSetNumber(o_Value, equal != i_Negate ? 1 : 0);
    return 0;
}

// and / or: when the left operand's truth is i_Deciding, that is the result and the right
// operand is not evaluated; otherwise the result is the right operand's truth.
uint32_t ShortCircuit(const char* i_Text, const uint32_t* i_Start, const uint32_t* i_End,
                      uint32_t i_Count, ExprValue* o_Value, const char* i_Scope,
                      const char** o_ErrorText, bool i_Deciding) {
    ExprValue operand{};
    if (const uint32_t e =
            ExprEvalFirst(i_Text, i_Start, i_End, i_Count, 2, &operand, i_Scope, o_ErrorText))
        return e;
    bool result = ExprIsTrue(operand);
    if (result != i_Deciding) {
        if (const uint32_t e =
                ExprEvalOperand(i_Text, i_Start, i_End, 1, &operand, i_Scope, o_ErrorText))
            return e;
        result = ExprIsTrue(operand);
    }
    ExprSetNumber(o_Value, result ? 1 : 0);
    return 0;
}

} // namespace

Q3V_EXPR_OP(ExprOpTernary) {
    ExprValue condition{};
    if (const uint32_t e =
            ExprEvalFirst(i_Text, i_Start, i_End, i_Count, 3, &condition, i_Scope, o_ErrorText))
        return e;
    return ExprEvalOperand(i_Text, i_Start, i_End, ExprIsTrue(condition) ? 1 : 2, o_Value, i_Scope,
                           o_ErrorText);
}

Q3V_EXPR_OP(ExprOpAnd) {
    return ShortCircuit(i_Text, i_Start, i_End, i_Count, o_Value, i_Scope, o_ErrorText, false);
}

Q3V_EXPR_OP(ExprOpOr) {
    return ShortCircuit(i_Text, i_Start, i_End, i_Count, o_Value, i_Scope, o_ErrorText, true);
}

Q3V_EXPR_OP(ExprOpXor) {
    ExprValue left{};
    ExprValue right{};
    if (const uint32_t e =
            ExprEvalBoth(i_Text, i_Start, i_End, i_Count, &left, &right, i_Scope, o_ErrorText))
        return e;
    ExprSetNumber(o_Value, ExprIsTrue(left) != ExprIsTrue(right) ? 1 : 0);
    return 0;
}

Q3V_EXPR_OP(ExprOpNot) {
    ExprValue operand{};
    if (const uint32_t e =
            ExprEvalFirst(i_Text, i_Start, i_End, i_Count, 1, &operand, i_Scope, o_ErrorText))
        return e;
    ExprSetNumber(o_Value, ExprIsTrue(operand) ? 0 : 1);
    return 0;
}

Q3V_EXPR_OP(ExprOpEq) {
    return Equality(i_Text, i_Start, i_End, i_Count, o_Value, i_Scope, o_ErrorText, false);
}

Q3V_EXPR_OP(ExprOpNe) {
    return Equality(i_Text, i_Start, i_End, i_Count, o_Value, i_Scope, o_ErrorText, true);
}
