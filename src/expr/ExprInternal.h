#pragma once
// Shared pieces of the evaluator's sources: the message texts, bounded text helpers and the
// operator functions of the operator table.
#include "expr/Expr.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace expr_msg {
inline constexpr const char* kParenMismatch = "Parenthesis mismatch.";
inline constexpr const char* kExpectedExpr = "Expected an expression here.";
inline constexpr const char* kMissingExpr = "Missing an expression after the operator.";
inline constexpr const char* kUnknownFormat = "Unknown format specifier.";
inline constexpr const char* kInvalidString = "Invalid string value.";
inline constexpr const char* kUnknownToken = "Unknown token or expression.";
inline constexpr const char* kMissingBracket = "Missing closing bracket.";
inline constexpr const char* kMissingContents = "Missing contents in brackets.";
inline constexpr const char* kArrayNameTooLong = "Array name too long.";
inline constexpr const char* kValueIsString = "Value cannot be a string.";
inline constexpr const char* kNumToNum = "Cannot convert a numerical value to a numerical value.";
inline constexpr const char* kUnexpectedString = "Unexpected string value.";
inline constexpr const char* kCannotMix = "Cannot mix numerical and string values here.";
inline constexpr const char* kExpectedNumber = "Expected a numerical value here.";
inline constexpr const char* kDivideByZero = "Cannot divide by zero.";
inline constexpr const char* kTooDeep = "Expression is nested too deeply.";
inline constexpr const char* kTooComplex = "Expression too complex.";
// A text result that would not fit: refused rather than cut.
inline constexpr const char* kTextTooLong = "Text is longer than 255 characters.";
} // namespace expr_msg

// Sets *errorText (when not null) and gives position back.
inline uint32_t ExprFail(const char** errorText, const char* message, uint32_t position) {
    if (errorText != nullptr) {
        *errorText = message;
    }
    return position;
}

// Makes value the number number.
void ExprSetNumber(ExprValue* value, uint32_t number);
// Makes value a text of the first length characters of text, cut to EXPR_TEXT_MAX.
void ExprSetText(ExprValue* value, const char* text, size_t length);
// Length of a value's text (never beyond EXPR_TEXT_MAX).
size_t ExprTextLength(const ExprValue& value);
// A value's text as a view of ExprTextLength characters.
inline std::string_view ExprTextOf(const ExprValue& value) {
    return {value.Text, ExprTextLength(value)};
}
// Truth of a value: a number other than 0, a text that is not empty.
bool ExprIsTrue(const ExprValue& value);

// The operator functions (ExprOpHandler).
#define Q3V_EXPR_OP(name)                                                                          \
    uint32_t name(const char* text, const uint32_t* start, const uint32_t* end, uint32_t count,    \
                  ExprValue* value, const char* scope, const char** errorText)
Q3V_EXPR_OP(ExprOpTernary);
Q3V_EXPR_OP(ExprOpRndTo);
Q3V_EXPR_OP(ExprOpRndUp);
Q3V_EXPR_OP(ExprOpRndDn);
Q3V_EXPR_OP(ExprOpXor);
Q3V_EXPR_OP(ExprOpOr);
Q3V_EXPR_OP(ExprOpAnd);
Q3V_EXPR_OP(ExprOpNot);
Q3V_EXPR_OP(ExprOpBitXor);
Q3V_EXPR_OP(ExprOpBitOr);
Q3V_EXPR_OP(ExprOpBitAnd);
Q3V_EXPR_OP(ExprOpNe);
Q3V_EXPR_OP(ExprOpEq);
Q3V_EXPR_OP(ExprOpGt);
Q3V_EXPR_OP(ExprOpLt);
Q3V_EXPR_OP(ExprOpGe);
Q3V_EXPR_OP(ExprOpLe);
Q3V_EXPR_OP(ExprOpShr);
Q3V_EXPR_OP(ExprOpShl);
Q3V_EXPR_OP(ExprOpRor);
Q3V_EXPR_OP(ExprOpRol);
Q3V_EXPR_OP(ExprOpAdd);
Q3V_EXPR_OP(ExprOpSub);
Q3V_EXPR_OP(ExprOpMod);
Q3V_EXPR_OP(ExprOpDiv);
Q3V_EXPR_OP(ExprOpMul);
Q3V_EXPR_OP(ExprOpBitNot);
Q3V_EXPR_OP(ExprOpR2Y);
Q3V_EXPR_OP(ExprOpY2R);
Q3V_EXPR_OP(ExprOpPow);

// Evaluates a text's leaf (no operator row applied): text is trimmed. Returns 0 or a 1-based
// position within text.
uint32_t ExprEvaluateLeaf(const char* text, size_t length, ExprValue* value, const char* scope,
                          const char** errorText);
