// Arithmetic, shift and rotation operators on numbers and their text forms. The left operand
// decides the kind of the result. Text results never exceed EXPR_TEXT_MAX characters, and no
// character beyond a text is read.
#include "expr/ExprOperands.h"

#include <cstring>
#include <string_view>

namespace {

std::string_view TextOf(const ExprValue& i_Value) {
    return std::string_view(i_Value.Text, ExprTextLength(i_Value));
}

// The text from character n on (empty when n reaches the length).
void DropFirst(ExprValue* io_Value, uint32_t i_N) {
    const std::string_view text = TextOf(*io_Value);
    const size_t n = i_N < text.size() ? i_N : text.size();
    ExprSetText(io_Value, text.data() + n, text.size() - n);
}

// The text without its last n characters.
void DropLast(ExprValue* io_Value, uint32_t i_N) {
    const std::string_view text = TextOf(*io_Value);
    const size_t n = i_N < text.size() ? i_N : text.size();
    ExprSetText(io_Value, text.data(), text.size() - n);
}

// The first n characters.
void KeepFirst(ExprValue* io_Value, uint32_t i_N) {
    const std::string_view text = TextOf(*io_Value);
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
    const std::string_view text = TextOf(*io_Value);
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

enum class Round { To, Up, Down };

uint32_t RoundNumber(uint32_t i_Value, uint32_t i_Step, Round i_Round) {
    uint32_t quotient = i_Value / i_Step;
    const uint32_t remainder = i_Value % i_Step;
    if ((i_Round == Round::To && remainder > i_Step / 2) ||
        (i_Round == Round::Up && remainder != 0))
        ++quotient;
    return quotient * i_Step;
}

uint32_t Rounding(const char* i_Text, const uint32_t* i_Start, const uint32_t* i_End,
                  uint32_t i_Count, ExprValue* o_Value, const char* i_Scope,
                  const char** o_ErrorText, Round i_Round) {
    ExprValue right{};
    if (const uint32_t e =
            ExprEvalBoth(i_Text, i_Start, i_End, i_Count, o_Value, &right, i_Scope, o_ErrorText))
        return e;
    if (o_Value->IsString) {
        if (right.IsString)
            AfterText(o_Value, right);
        else
            DropFirst(o_Value, right.Number);
        return 0;
    }
    if (right.IsString)
        return ExprFail(o_ErrorText, expr_msg::UnexpectedString, 2);
    if (right.Number == 0)
        return ExprFail(o_ErrorText, expr_msg::DivideByZero, 2);
    ExprSetNumber(o_Value, RoundNumber(o_Value->Number, right.Number, i_Round));
    return 0;
}

enum class Shift { Left, Right, RotateLeft, RotateRight };

uint32_t Shifting(const char* i_Text, const uint32_t* i_Start, const uint32_t* i_End,
                  uint32_t i_Count, ExprValue* o_Value, const char* i_Scope,
                  const char** o_ErrorText, Shift i_Shift) {
    ExprValue right{};
    if (const uint32_t e =
            ExprEvalBoth(i_Text, i_Start, i_End, i_Count, o_Value, &right, i_Scope, o_ErrorText))
        return e;
    if (right.IsString)
        return ExprFail(o_ErrorText, expr_msg::UnexpectedString, 2);
    const uint32_t n = right.Number;
    if (o_Value->IsString) {
        switch (i_Shift) {
        case Shift::Left:
            DropFirst(o_Value, n);
            break;
        case Shift::Right:
            DropLast(o_Value, n);
            break;
        case Shift::RotateLeft:
        case Shift::RotateRight:
            RotateText(o_Value, n, i_Shift == Shift::RotateLeft);
            break;
        }
        return 0;
    }
    const uint32_t v = o_Value->Number;
    uint32_t result = 0;
    switch (i_Shift) {
    case Shift::Left:
        result = n >= 32 ? 0 : v << n;
        break;
    case Shift::Right:
        result = n >= 32 ? 0 : v >> n;
        break;
    case Shift::RotateLeft:
    case Shift::RotateRight:
        result = RotateNumber(v, n, i_Shift == Shift::RotateLeft);
        break;
    }
    ExprSetNumber(o_Value, result);
    return 0;
}

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

Q3V_EXPR_OP(ExprOpSub) {
    ExprValue right{};
    if (const uint32_t e =
            ExprEvalBoth(i_Text, i_Start, i_End, i_Count, o_Value, &right, i_Scope, o_ErrorText))
        return e;
    if (o_Value->IsString) {
        if (right.IsString)
            RemoveText(o_Value, right);
        else
            DropLast(o_Value, right.Number);
        return 0;
    }
    if (right.IsString)
        return ExprFail(o_ErrorText, expr_msg::UnexpectedString, 2);
    ExprSetNumber(o_Value, o_Value->Number - right.Number);
    return 0;
}

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

Q3V_EXPR_OP(ExprOpDiv) {
    ExprValue right{};
    if (const uint32_t e =
            ExprEvalBoth(i_Text, i_Start, i_End, i_Count, o_Value, &right, i_Scope, o_ErrorText))
        return e;
    if (o_Value->IsString) {
        if (right.IsString)
            BeforeText(o_Value, right);
        else
            KeepFirst(o_Value, right.Number);
        return 0;
    }
    if (right.IsString)
        return ExprFail(o_ErrorText, expr_msg::UnexpectedString, 2);
    if (right.Number == 0)
        return ExprFail(o_ErrorText, expr_msg::DivideByZero, 2);
    ExprSetNumber(o_Value, o_Value->Number / right.Number);
    return 0;
}

Q3V_EXPR_OP(ExprOpMod) {
    ExprValue right{};
    if (const uint32_t e =
            ExprEvalBoth(i_Text, i_Start, i_End, i_Count, o_Value, &right, i_Scope, o_ErrorText))
        return e;
    if (o_Value->IsString) {
        if (right.IsString)
            AfterText(o_Value, right);
        else
            DropFirst(o_Value, right.Number);
        return 0;
    }
    if (right.IsString)
        return ExprFail(o_ErrorText, expr_msg::UnexpectedString, 2);
    if (right.Number == 0)
        return ExprFail(o_ErrorText, expr_msg::DivideByZero, 2);
    ExprSetNumber(o_Value, o_Value->Number % right.Number);
    return 0;
}

Q3V_EXPR_OP(ExprOpRndTo) {
    return Rounding(i_Text, i_Start, i_End, i_Count, o_Value, i_Scope, o_ErrorText, Round::To);
}
Q3V_EXPR_OP(ExprOpRndUp) {
    return Rounding(i_Text, i_Start, i_End, i_Count, o_Value, i_Scope, o_ErrorText, Round::Up);
}
Q3V_EXPR_OP(ExprOpRndDn) {
    return Rounding(i_Text, i_Start, i_End, i_Count, o_Value, i_Scope, o_ErrorText, Round::Down);
}
Q3V_EXPR_OP(ExprOpShl) {
    return Shifting(i_Text, i_Start, i_End, i_Count, o_Value, i_Scope, o_ErrorText, Shift::Left);
}
Q3V_EXPR_OP(ExprOpShr) {
    return Shifting(i_Text, i_Start, i_End, i_Count, o_Value, i_Scope, o_ErrorText, Shift::Right);
}
Q3V_EXPR_OP(ExprOpRol) {
    return Shifting(i_Text, i_Start, i_End, i_Count, o_Value, i_Scope, o_ErrorText,
                    Shift::RotateLeft);
}
Q3V_EXPR_OP(ExprOpRor) {
    return Shifting(i_Text, i_Start, i_End, i_Count, o_Value, i_Scope, o_ErrorText,
                    Shift::RotateRight);
}
