// Arithmetic, shift and rotation operators on numbers and their text forms. The left operand
// decides the kind of the result. A text result longer than EXPR_TEXT_MAX characters is refused,
// never cut, and no character beyond a text is read.
#include "expr/ExprOperands.h"

#include <cstring>
#include <string_view>

namespace {

// The text from character n on (empty when n reaches the length).
void DropFirst(ExprValue* value, uint32_t count) {
    const std::string_view text = ExprTextOf(*value);
    const size_t n = count < text.size() ? count : text.size();
    ExprSetText(value, text.data() + n, text.size() - n);
}

// The text without its last n characters.
void DropLast(ExprValue* value, uint32_t count) {
    const std::string_view text = ExprTextOf(*value);
    const size_t n = count < text.size() ? count : text.size();
    ExprSetText(value, text.data(), text.size() - n);
}

// The first n characters.
void KeepFirst(ExprValue* value, uint32_t count) {
    const std::string_view text = ExprTextOf(*value);
    ExprSetText(value, text.data(), count < text.size() ? count : text.size());
}

// The part after the first occurrence of the needle (unchanged when absent).
void AfterText(ExprValue* value, const ExprValue& needle) {
    const char* found = std::strstr(value->Text, needle.Text);
    if (found != nullptr) {
        const char* after = found + ExprTextLength(needle);
        ExprSetText(value, after, std::strlen(after));
    }
}

// The part before the first occurrence of the needle (the whole text when absent).
void BeforeText(ExprValue* value, const ExprValue& needle) {
    const char* found = std::strstr(value->Text, needle.Text);
    if (found != nullptr) {
        ExprSetText(value, value->Text, static_cast<size_t>(found - value->Text));
    }
}

// The text with the first occurrence of the needle removed (unchanged when absent or empty).
void RemoveText(ExprValue* value, const ExprValue& needle) {
    const size_t needleLength = ExprTextLength(needle);
    if (needleLength == 0) {
        return;
    }
    char* found = std::strstr(value->Text, needle.Text);
    if (found != nullptr) {
        std::memmove(found, found + needleLength, std::strlen(found + needleLength) + 1);
    }
}

// Rotation of a text by n modulo its length; an empty text stays empty.
void RotateText(ExprValue* value, uint32_t count, bool left) {
    const std::string_view text = ExprTextOf(*value);
    if (text.empty()) {
        return;
    }
    const size_t k = count % text.size();
    const size_t split = left ? k : text.size() - k;
    char rotated[EXPR_TEXT_MAX + 1];
    std::memcpy(rotated, text.data() + split, text.size() - split);
    std::memcpy(rotated + (text.size() - split), text.data(), split);
    ExprSetText(value, rotated, text.size());
}

uint32_t RotateNumber(uint32_t value, uint32_t count, bool left) {
    const uint32_t k = count % 32;
    if (k == 0) {
        return value;
    }
    return left ? (value << k) | (value >> (32 - k)) : (value >> k) | (value << (32 - k));
}

// Rounding to a multiple of the step (never 0): to the nearest (up when the remainder is above
// half the step, halved as an integer), up, and down.
uint32_t RoundTo(uint32_t value, uint32_t step) {
    return (value / step + (value % step > step / 2 ? 1 : 0)) * step;
}
uint32_t RoundUp(uint32_t value, uint32_t step) {
    return (value / step + (value % step != 0 ? 1 : 0)) * step;
}
uint32_t RoundDown(uint32_t value, uint32_t step) {
    return value / step * step;
}

// Shift counts of 32 and more give 0.
uint32_t ShiftLeft(uint32_t value, uint32_t count) {
    return count >= 32 ? 0 : value << count;
}
uint32_t ShiftRight(uint32_t value, uint32_t count) {
    return count >= 32 ? 0 : value >> count;
}
uint32_t RotateLeft(uint32_t value, uint32_t count) {
    return RotateNumber(value, count, true);
}
uint32_t RotateRight(uint32_t value, uint32_t count) {
    return RotateNumber(value, count, false);
}
void RotateTextLeft(ExprValue* value, uint32_t count) {
    RotateText(value, count, true);
}
void RotateTextRight(ExprValue* value, uint32_t count) {
    RotateText(value, count, false);
}

// An operator whose left operand decides the kind of the result. A text is cut by a text
// (ByText; nullptr when a text is refused as the right operand) or by a count (ByCount); two
// numbers give OnNumbers, after the check for a divisor of 0 when NeedsDivisor. A number with a
// text, and a refused text, give "Unexpected string value." at 2.
struct TextOrNumberOp {
    void (*ByText)(ExprValue* value, const ExprValue& right);
    void (*ByCount)(ExprValue* value, uint32_t count);
    bool NeedsDivisor;
    uint32_t (*OnNumbers)(uint32_t left, uint32_t right);
};

uint32_t TextOrNumber(const char* text, const uint32_t* start, const uint32_t* end, uint32_t count,
                      ExprValue* value, const char* scope, const char** errorText,
                      const TextOrNumberOp& op) {
    ExprValue right{};
    if (const uint32_t e = ExprEvalBoth(text, start, end, count, value, &right, scope, errorText)) {
        return e;
    }
    if (right.IsString && (!value->IsString || op.ByText == nullptr)) {
        return ExprFail(errorText, expr_msg::kUnexpectedString, 2);
    }
    if (value->IsString) {
        if (right.IsString) {
            op.ByText(value, right);
        } else {
            op.ByCount(value, right.Number);
        }
        return 0;
    }
    if (op.NeedsDivisor && right.Number == 0) {
        return ExprFail(errorText, expr_msg::kDivideByZero, 2);
    }
    ExprSetNumber(value, op.OnNumbers(value->Number, right.Number));
    return 0;
}

constexpr TextOrNumberOp kSub = {RemoveText, DropLast, false,
                                 [](uint32_t l, uint32_t r) { return l - r; }};
constexpr TextOrNumberOp kDiv = {BeforeText, KeepFirst, true,
                                 [](uint32_t l, uint32_t r) { return l / r; }};
constexpr TextOrNumberOp kMod = {AfterText, DropFirst, true,
                                 [](uint32_t l, uint32_t r) { return l % r; }};
// The rounding operators treat texts as %.
constexpr TextOrNumberOp kRndTo = {AfterText, DropFirst, true, RoundTo};
constexpr TextOrNumberOp kRndUp = {AfterText, DropFirst, true, RoundUp};
constexpr TextOrNumberOp kRndDn = {AfterText, DropFirst, true, RoundDown};
// Shifts and rotations take a count only.
constexpr TextOrNumberOp kShl = {nullptr, DropFirst, false, ShiftLeft};
constexpr TextOrNumberOp kShr = {nullptr, DropLast, false, ShiftRight};
constexpr TextOrNumberOp kRol = {nullptr, RotateTextLeft, false, RotateLeft};
constexpr TextOrNumberOp kRor = {nullptr, RotateTextRight, false, RotateRight};

} // namespace

Q3V_EXPR_OP(ExprOpAdd) {
    ExprValue right{};
    if (const uint32_t e = ExprEvalBoth(text, start, end, count, value, &right, scope, errorText)) {
        return e;
    }
    if (value->IsString != right.IsString) {
        return ExprFail(errorText, expr_msg::kCannotMix, 2);
    }
    if (!value->IsString) {
        ExprSetNumber(value, value->Number + right.Number);
        return 0;
    }
    const size_t length = ExprTextLength(*value);
    const size_t add = ExprTextLength(right);
    if (add > EXPR_TEXT_MAX - length) {
        return ExprFail(errorText, expr_msg::kTextTooLong, 1);
    }
    std::memcpy(value->Text + length, right.Text, add);
    value->Text[length + add] = '\0';
    return 0;
}

#define Q3V_EXPR_TEXT_OR_NUMBER(name, op)                                                          \
    Q3V_EXPR_OP(name) {                                                                            \
        return TextOrNumber(text, start, end, count, value, scope, errorText, op);                 \
    }

Q3V_EXPR_TEXT_OR_NUMBER(ExprOpSub, kSub)
Q3V_EXPR_TEXT_OR_NUMBER(ExprOpDiv, kDiv)
Q3V_EXPR_TEXT_OR_NUMBER(ExprOpMod, kMod)
Q3V_EXPR_TEXT_OR_NUMBER(ExprOpRndTo, kRndTo)
Q3V_EXPR_TEXT_OR_NUMBER(ExprOpRndUp, kRndUp)
Q3V_EXPR_TEXT_OR_NUMBER(ExprOpRndDn, kRndDn)
Q3V_EXPR_TEXT_OR_NUMBER(ExprOpShl, kShl)
Q3V_EXPR_TEXT_OR_NUMBER(ExprOpShr, kShr)
Q3V_EXPR_TEXT_OR_NUMBER(ExprOpRol, kRol)
Q3V_EXPR_TEXT_OR_NUMBER(ExprOpRor, kRor)

Q3V_EXPR_OP(ExprOpMul) {
    ExprValue right{};
    if (const uint32_t e = ExprEvalBoth(text, start, end, count, value, &right, scope, errorText)) {
        return e;
    }
    if (right.IsString) {
        return ExprFail(errorText, expr_msg::kExpectedNumber, 2);
    }
    if (!value->IsString) {
        ExprSetNumber(value, value->Number * right.Number);
        return 0;
    }
    // The text repeated n times.
    const ExprValue unit = *value;
    const size_t unitLength = ExprTextLength(unit);
    if (unitLength != 0 && right.Number > EXPR_TEXT_MAX / unitLength) {
        return ExprFail(errorText, expr_msg::kTextTooLong, 1);
    }
    size_t length = 0;
    for (uint32_t i = 0; i < right.Number && unitLength != 0; ++i) {
        std::memcpy(value->Text + length, unit.Text, unitLength);
        length += unitLength;
    }
    value->Text[length] = '\0';
    return 0;
}
