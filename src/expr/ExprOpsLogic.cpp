// The conditional, the logical operators and equality.
#include "expr/ExprOperands.h"

namespace {

// Equality of texts ignoring the case of the letters A-Z, whole texts.
bool SameTextNoCase(const ExprValue& i_A, const ExprValue& i_B) {
    for (size_t i = 0; i <= EXPR_TEXT_MAX; ++i) {
        char a = i_A.Text[i];
        char b = i_B.Text[i];
        if (a >= 'a' && a <= 'z')
            a = static_cast<char>(a - 'a' + 'A');
        if (b >= 'a' && b <= 'z')
            b = static_cast<char>(b - 'a' + 'A');
        if (a != b)
            return false;
        if (a == '\0')
            return true;
    }
    return true;
}

uint32_t Equality(const char* i_Text, const uint32_t* i_Start, const uint32_t* i_End,
                  uint32_t i_Count, const char* i_Scope, const char** o_ErrorText, bool* o_Equal) {
    ExprValue left{};
    ExprValue right{};
    if (const uint32_t e =
            ExprEvalBoth(i_Text, i_Start, i_End, i_Count, &left, &right, i_Scope, o_ErrorText))
        return e;
    if (left.IsString != right.IsString)
        return ExprFail(o_ErrorText, expr_msg::CannotMix, 3);
    *o_Equal = left.IsString ? SameTextNoCase(left, right) : left.Number == right.Number;
    return 0;
}

} // namespace

Q3V_EXPR_OP(ExprOpTernary) {
    if (i_Count < 3)
        return ExprFail(o_ErrorText, expr_msg::MissingExpr, 1);
    ExprValue condition{};
    if (const uint32_t e =
            ExprEvalOperand(i_Text, i_Start, i_End, 0, &condition, i_Scope, o_ErrorText))
        return e;
    return ExprEvalOperand(i_Text, i_Start, i_End, ExprIsTrue(condition) ? 1 : 2, o_Value, i_Scope,
                           o_ErrorText);
}

Q3V_EXPR_OP(ExprOpAnd) {
    if (i_Count < 2)
        return ExprFail(o_ErrorText, expr_msg::MissingExpr, 1);
    ExprValue operand{};
    if (const uint32_t e =
            ExprEvalOperand(i_Text, i_Start, i_End, 0, &operand, i_Scope, o_ErrorText))
        return e;
    uint32_t result = 0;
    if (ExprIsTrue(operand)) {
        if (const uint32_t e =
                ExprEvalOperand(i_Text, i_Start, i_End, 1, &operand, i_Scope, o_ErrorText))
            return e;
        result = ExprIsTrue(operand) ? 1 : 0;
    }
    ExprSetNumber(o_Value, result);
    return 0;
}

Q3V_EXPR_OP(ExprOpOr) {
    if (i_Count < 2)
        return ExprFail(o_ErrorText, expr_msg::MissingExpr, 1);
    ExprValue operand{};
    if (const uint32_t e =
            ExprEvalOperand(i_Text, i_Start, i_End, 0, &operand, i_Scope, o_ErrorText))
        return e;
    uint32_t result = 1;
    if (!ExprIsTrue(operand)) {
        if (const uint32_t e =
                ExprEvalOperand(i_Text, i_Start, i_End, 1, &operand, i_Scope, o_ErrorText))
            return e;
        result = ExprIsTrue(operand) ? 1 : 0;
    }
    ExprSetNumber(o_Value, result);
    return 0;
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
    if (i_Count < 1)
        return ExprFail(o_ErrorText, expr_msg::MissingExpr, 1);
    ExprValue operand{};
    if (const uint32_t e =
            ExprEvalOperand(i_Text, i_Start, i_End, 0, &operand, i_Scope, o_ErrorText))
        return e;
    ExprSetNumber(o_Value, ExprIsTrue(operand) ? 0 : 1);
    return 0;
}

Q3V_EXPR_OP(ExprOpEq) {
    bool equal = false;
    if (const uint32_t e = Equality(i_Text, i_Start, i_End, i_Count, i_Scope, o_ErrorText, &equal))
        return e;
    ExprSetNumber(o_Value, equal ? 1 : 0);
    return 0;
}

Q3V_EXPR_OP(ExprOpNe) {
    bool equal = false;
    if (const uint32_t e = Equality(i_Text, i_Start, i_End, i_Count, i_Scope, o_ErrorText, &equal))
        return e;
    ExprSetNumber(o_Value, equal ? 0 : 1);
    return 0;
}
