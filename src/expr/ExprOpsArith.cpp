// Arithmetic, shift and rotation operators on numbers and their text forms. The left operand
// decides the kind of the result. Text results never exceed EXPR_TEXT_MAX characters, and no
// character beyond a text is read.
#include "expr/ExprOperands.h"

#include <cstring>
#include <string_view>

namespace {

// The text from character n on (empty when n reaches the length).
void DropFirst(ExprValue* io_Value, uint32_t i_N) {
    const std::string_view text = ExprTextOf(*io_Value);
    const size_t n = i_N < text.size() ? i_N : text.size();
    ExprSetText(io_Value, text.data() + n, text.size() - n);
}

// The text without its last n characters.
void DropLast(ExprValue* io_Value, uint32_t i_N) {
    const std::string_view text = ExprTextOf(*io_Value);
    const size_t n = i_N < text.size() ? i_N : text.size();
    ExprSetText(io_Value, text.data(), text.size() - n);
}

// The first n characters.
void KeepFirst(ExprValue* io_Value, uint32_t i_N) {
    const std::string_view text = ExprTextOf(*io_Value);
    ExprSetText(io_Value, text.data(), i_N < text.size() ? i_N : text.size());
}

// The part after the first occurrence of the needle (unchanged when absent).
void AfterText(ExprValue* io_Value, const ExprValue& i_Needle) {
    const char* found = std::strstr(io_Value->Text, i_Needle.Text);
    if (found != nullptr) {
        const char* after = found + ExprTextLength(i_Needle);
        ExprSetText(io_Value, after, std::strlen(after));
    }
}

// The part before the first occurrence of the needle (the whole text when absent).
void BeforeText(ExprValue* io_Value, const ExprValue& i_Needle) {
    const char* found = std::strstr(io_Value->Text, i_Needle.Text);
    if (found != nullptr)
        ExprSetText(io_Value, io_Value->Text, static_cast<size_t>(found - io_Value->Text));
}

// The text with the first occurrence of the needle removed (unchanged when absent or empty).
void RemoveText(ExprValue* io_Value, const ExprValue& i_Needle) {
    const size_t needleLength = ExprTextLength(i_Needle);
    if (needleLength == 0)
        return;
    char* found = std::strstr(io_Value->Text, i_Needle.Text);
    if (found != nullptr)
        std::memmove(found, found + needleLength, std::strlen(found + needleLength) + 1);
}

// Rotation of a text by n modulo its length; an empty text stays empty.
void RotateText(ExprValue* io_Value, uint32_t i_N, bool i_Left) {
    const std::string_view text = ExprTextOf(*io_Value);
    if (text.empty())
        return;
    const size_t k = i_N % text.size();
    const size_t split = i_Left ? k : text.size() - k;
    char rotated[EXPR_TEXT_MAX + 1];
    std::memcpy(rotated, text.data() + split, text.size() - split);
    std::memcpy(rotated + (text.size() - split), text.data(), split);
    ExprSetText(io_Value, rotated, text.size());
}

uint32_t RotateNumber(uint32_t i_Value, uint32_t i_Count, bool i_Left) {
    const uint32_t k = i_Count % 32;
    if (k == 0)
        return i_Value;
    return i_Left ? (i_Value << k) | (i_Value >> (32 - k)) : (i_Value >> k) | (i_Value << (32 - k));
}

// Rounding to a multiple of the step (never 0): to the nearest (up when the remainder is above
// half the step, halved as an integer), up, and down.
uint32_t RoundTo(uint32_t i_Value, uint32_t i_Step) {
    return (i_Value / i_Step + (i_Value % i_Step > i_Step / 2 ? 1 : 0)) * i_Step;
}
uint32_t RoundUp(uint32_t i_Value, uint32_t i_Step) {
    return (i_Value / i_Step + (i_Value % i_Step != 0 ? 1 : 0)) * i_Step;
}
uint32_t RoundDown(uint32_t i_Value, uint32_t i_Step) {
    return i_Value / i_Step * i_Step;
}

// Shift counts of 32 and more give 0.
uint32_t ShiftLeft(uint32_t i_Value, uint32_t i_Count) {
    return i_Count >= 32 ? 0 : i_Value << i_Count;
}
uint32_t ShiftRight(uint32_t i_Value, uint32_t i_Count) {
    return i_Count >= 32 ? 0 : i_Value >> i_Count;
}
uint32_t RotateLeft(uint32_t i_Value, uint32_t i_Count) {
    return RotateNumber(i_Value, i_Count, true);
}
uint32_t RotateRight(uint32_t i_Value, uint32_t i_Count) {
    return RotateNumber(i_Value, i_Count, false);
}
void RotateTextLeft(ExprValue* io_Value, uint32_t i_N) {
    RotateText(io_Value, i_N, true);
}
void RotateTextRight(ExprValue* io_Value, uint32_t i_N) {
    RotateText(io_Value, i_N, false);
}

// An operator whose left operand decides the kind of the result. A text is cut by a text
// (ByText; nullptr when a text is refused as the right operand) or by a count (ByCount); two
// numbers give OnNumbers, after the check for a divisor of 0 when NeedsDivisor. A number with a
// text, and a refused text, give "Unexpected string value." at 2.
struct TextOrNumberOp {
    void (*ByText)(ExprValue* io_Value, const ExprValue& i_Right);
    void (*ByCount)(ExprValue* io_Value, uint32_t i_N);
    bool NeedsDivisor;
    uint32_t (*OnNumbers)(uint32_t i_Left, uint32_t i_Right);
};

uint32_t TextOrNumber(const char* i_Text, const uint32_t* i_Start, const uint32_t* i_End,
                      uint32_t i_Count, ExprValue* o_Value, const char* i_Scope,
                      const char** o_ErrorText, const TextOrNumberOp& i_Op) {
    ExprValue right{};
    if (const uint32_t e =
            ExprEvalBoth(i_Text, i_Start, i_End, i_Count, o_Value, &right, i_Scope, o_ErrorText))
        return e;
    if (right.IsString && (!o_Value->IsString || i_Op.ByText == nullptr))
        return ExprFail(o_ErrorText, expr_msg::UnexpectedString, 2);
    if (o_Value->IsString) {
        if (right.IsString)
            i_Op.ByText(o_Value, right);
        else
            i_Op.ByCount(o_Value, right.Number);
        return 0;
    }
    if (i_Op.NeedsDivisor && right.Number == 0)
        return ExprFail(o_ErrorText, expr_msg::DivideByZero, 2);
    ExprSetNumber(o_Value, i_Op.OnNumbers(o_Value->Number, right.Number));
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
    if (const uint32_t e =
            ExprEvalBoth(i_Text, i_Start, i_End, i_Count, o_Value, &right, i_Scope, o_ErrorText))
        return e;
    if (o_Value->IsString != right.IsString)
        return ExprFail(o_ErrorText, expr_msg::CannotMix, 2);
    if (!o_Value->IsString) {
        ExprSetNumber(o_Value, o_Value->Number + right.Number);
        return 0;
    }
    const size_t length = ExprTextLength(*o_Value);
    const size_t add = ExprTextLength(right);
    const size_t n = add < EXPR_TEXT_MAX - length ? add : EXPR_TEXT_MAX - length;
    std::memcpy(o_Value->Text + length, right.Text, n);
    o_Value->Text[length + n] = '\0';
    return 0;
}

#define Q3V_EXPR_TEXT_OR_NUMBER(name, op)                                                          \
    Q3V_EXPR_OP(name) {                                                                            \
        return TextOrNumber(i_Text, i_Start, i_End, i_Count, o_Value, i_Scope, o_ErrorText, op);   \
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
    if (const uint32_t e =
            ExprEvalBoth(i_Text, i_Start, i_End, i_Count, o_Value, &right, i_Scope, o_ErrorText))
        return e;
    if (right.IsString)
        return ExprFail(o_ErrorText, expr_msg::ExpectedNumber, 2);
    if (!o_Value->IsString) {
        ExprSetNumber(o_Value, o_Value->Number * right.Number);
        return 0;
    }
    // The text repeated n times, stopping once the text is full.
    const ExprValue unit = *o_Value;
    const size_t unitLength = ExprTextLength(unit);
    size_t length = 0;
    for (uint32_t i = 0; i < right.Number && unitLength != 0 && length < EXPR_TEXT_MAX; ++i) {
        const size_t n = unitLength < EXPR_TEXT_MAX - length ? unitLength : EXPR_TEXT_MAX - length;
        std::memcpy(o_Value->Text + length, unit.Text, n);
        length += n;
    }
    o_Value->Text[length] = '\0';
    return 0;
}
