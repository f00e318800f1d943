// The conditional, the logical operators and equality.
#include "common/Text.h"
#include "expr/ExprOperands.h"

namespace {

// Equality of texts ignoring the case of the letters A-Z, whole texts.
bool SameTextNoCase(const ExprValue& a, const ExprValue& b) {
    return EqualsNoCase(ExprTextOf(a), ExprTextOf(b));
}

// == and !=: 1 when the operands are equal (negate: when they differ), else 0.
uint32_t Equality(const char* text, const uint32_t* start, const uint32_t* end, uint32_t count,
                  ExprValue* value, const char* scope, const char** errorText, bool negate) {
    ExprValue left{};
    ExprValue right{};
    if (const uint32_t e = ExprEvalBoth(text, start, end, count, &left, &right, scope, errorText)) {
        return e;
    }
    if (left.IsString != right.IsString) {
        return ExprFail(errorText, expr_msg::kCannotMix, 3);
    }
    const bool equal = left.IsString ? SameTextNoCase(left, right) : left.Number == right.Number;
    ExprSetNumber(value, equal != negate ? 1 : 0);
    return 0;
}

// and / or: when the left operand's truth is deciding, that is the result and the right
// operand is not evaluated; otherwise the result is the right operand's truth.
uint32_t ShortCircuit(const char* text, const uint32_t* start, const uint32_t* end, uint32_t count,
                      ExprValue* value, const char* scope, const char** errorText, bool deciding) {
    ExprValue operand{};
    if (const uint32_t e = ExprEvalFirst(text, start, end, count, 2, &operand, scope, errorText)) {
        return e;
    }
    bool result = ExprIsTrue(operand);
    if (result != deciding) {
        if (const uint32_t e = ExprEvalOperand(text, start, end, 1, &operand, scope, errorText)) {
            return e;
        }
        result = ExprIsTrue(operand);
    }
    ExprSetNumber(value, result ? 1 : 0);
    return 0;
}

} // namespace

Q3V_EXPR_OP(ExprOpTernary) {
    ExprValue condition{};
    if (const uint32_t e =
            ExprEvalFirst(text, start, end, count, 3, &condition, scope, errorText)) {
        return e;
    }
    return ExprEvalOperand(text, start, end, ExprIsTrue(condition) ? 1 : 2, value, scope,
                           errorText);
}

Q3V_EXPR_OP(ExprOpAnd) {
    return ShortCircuit(text, start, end, count, value, scope, errorText, false);
}

Q3V_EXPR_OP(ExprOpOr) {
    return ShortCircuit(text, start, end, count, value, scope, errorText, true);
}

Q3V_EXPR_OP(ExprOpXor) {
    ExprValue left{};
    ExprValue right{};
    if (const uint32_t e = ExprEvalBoth(text, start, end, count, &left, &right, scope, errorText)) {
        return e;
    }
    ExprSetNumber(value, ExprIsTrue(left) != ExprIsTrue(right) ? 1 : 0);
    return 0;
}

Q3V_EXPR_OP(ExprOpNot) {
    ExprValue operand{};
    if (const uint32_t e = ExprEvalFirst(text, start, end, count, 1, &operand, scope, errorText)) {
        return e;
    }
    ExprSetNumber(value, ExprIsTrue(operand) ? 0 : 1);
    return 0;
}

Q3V_EXPR_OP(ExprOpEq) {
    return Equality(text, start, end, count, value, scope, errorText, false);
}

Q3V_EXPR_OP(ExprOpNe) {
    return Equality(text, start, end, count, value, scope, errorText, true);
}
