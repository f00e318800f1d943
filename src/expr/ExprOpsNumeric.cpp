// Operators on numbers only: bitwise, relational, power, complement and colour conversions.
#include "expr/ExprOperands.h"

#include <cmath>

namespace {

// Evaluates both operands and refuses texts ("Unexpected string value." at 1 or 2).
uint32_t TwoNumbers(const char* text, const uint32_t* start, const uint32_t* end, uint32_t count,
                    const char* scope, const char** errorText, uint32_t* leftOut,
                    uint32_t* rightOut) {
    ExprValue left{};
    ExprValue right{};
    if (const uint32_t e = ExprEvalBoth(text, start, end, count, &left, &right, scope, errorText)) {
        return e;
    }
    if (left.IsString) {
        return ExprFail(errorText, expr_msg::kUnexpectedString, 1);
    }
    if (right.IsString) {
        return ExprFail(errorText, expr_msg::kUnexpectedString, 2);
    }
    *leftOut = left.Number;
    *rightOut = right.Number;
    return 0;
}

// Evaluates the one operand of a prefix operator and refuses a text.
uint32_t OneNumber(const char* text, const uint32_t* start, const uint32_t* end, uint32_t count,
                   const char* scope, const char** errorText, uint32_t* number) {
    ExprValue operand{};
    if (const uint32_t e = ExprEvalFirst(text, start, end, count, 1, &operand, scope, errorText)) {
        return e;
    }
    if (operand.IsString) {
        return ExprFail(errorText, expr_msg::kUnexpectedString, 1);
    }
    *number = operand.Number;
    return 0;
}

int32_t Clamp255(int32_t value) {
    return value < 0 ? 0 : (value > 255 ? 255 : value);
}

} // namespace

#define Q3V_EXPR_BINARY(name, expression)                                                          \
    Q3V_EXPR_OP(name) {                                                                            \
        uint32_t l = 0;                                                                            \
        uint32_t r = 0;                                                                            \
        if (const uint32_t e = TwoNumbers(text, start, end, count, scope, errorText, &l, &r)) {    \
            return e;                                                                              \
        }                                                                                          \
        ExprSetNumber(value, (expression));                                                        \
        return 0;                                                                                  \
    }

Q3V_EXPR_BINARY(ExprOpBitAnd, l& r)
Q3V_EXPR_BINARY(ExprOpBitOr, l | r)
Q3V_EXPR_BINARY(ExprOpBitXor, l ^ r)
Q3V_EXPR_BINARY(ExprOpLt, l < r ? 1U : 0U)
Q3V_EXPR_BINARY(ExprOpGt, l > r ? 1U : 0U)
Q3V_EXPR_BINARY(ExprOpLe, l <= r ? 1U : 0U)
Q3V_EXPR_BINARY(ExprOpGe, l >= r ? 1U : 0U)

// The power in double precision, truncated toward zero to a signed 64-bit integer whose low 32
// bits are the result; results of 2^63 and more (and any that is no number) give 0.
Q3V_EXPR_OP(ExprOpPow) {
    uint32_t l = 0;
    uint32_t r = 0;
    if (const uint32_t e = TwoNumbers(text, start, end, count, scope, errorText, &l, &r)) {
        return e;
    }
    const double power = std::pow(static_cast<double>(l), static_cast<double>(r));
    uint32_t result = 0;
    if (std::isfinite(power) && power < 9223372036854775808.0) {
        result = static_cast<uint32_t>(static_cast<uint64_t>(static_cast<int64_t>(power)));
    }
    ExprSetNumber(value, result);
    return 0;
}

Q3V_EXPR_OP(ExprOpBitNot) {
    uint32_t v = 0;
    if (const uint32_t e = OneNumber(text, start, end, count, scope, errorText, &v)) {
        return e;
    }
    ExprSetNumber(value, ~v);
    return 0;
}

// 0xRRGGBB to 0xYYCbCr, video range (BT.601).
Q3V_EXPR_OP(ExprOpR2Y) {
    uint32_t v = 0;
    if (const uint32_t e = OneNumber(text, start, end, count, scope, errorText, &v)) {
        return e;
    }
    const int32_t r = static_cast<int32_t>((v >> 16) & 0xFF);
    const int32_t g = static_cast<int32_t>((v >> 8) & 0xFF);
    const int32_t b = static_cast<int32_t>(v & 0xFF);
    const int32_t y = Clamp255((257 * r + 504 * g + 98 * b) / 1000 + 16);
    const int32_t cb = Clamp255((-148 * r - 291 * g + 439 * b) / 1000 + 128);
    const int32_t cr = Clamp255((439 * r - 368 * g - 71 * b) / 1000 + 128);
    ExprSetNumber(value, static_cast<uint32_t>(y << 16 | cb << 8 | cr));
    return 0;
}

// 0xYYCbCr to 0xRRGGBB.
Q3V_EXPR_OP(ExprOpY2R) {
    uint32_t v = 0;
    if (const uint32_t e = OneNumber(text, start, end, count, scope, errorText, &v)) {
        return e;
    }
    const int32_t y = static_cast<int32_t>((v >> 16) & 0xFF) - 16;
    const int32_t cb = static_cast<int32_t>((v >> 8) & 0xFF) - 128;
    const int32_t cr = static_cast<int32_t>(v & 0xFF) - 128;
    const int32_t r = Clamp255((11644 * y + 15960 * cr) / 10000);
    const int32_t g = Clamp255((11644 * y - 3916 * cb - 8128 * cr) / 10000);
    const int32_t b = Clamp255((11644 * y + 20172 * cb) / 10000);
    ExprSetNumber(value, static_cast<uint32_t>(r << 16 | g << 8 | b));
    return 0;
}
