// Small helpers over ExprValue shared by the evaluator's sources.
#include "expr/ExprInternal.h"

#include <cstring>

void ExprSetNumber(ExprValue* o_Value, uint32_t i_Number) {
    o_Value->IsString = 0;
    o_Value->Number = i_Number;
    o_Value->Text[0] = '\0';
}

void ExprSetText(ExprValue* o_Value, const char* i_Text, size_t i_Length) {
    const size_t length = i_Length < EXPR_TEXT_MAX ? i_Length : EXPR_TEXT_MAX;
    // The source may be the value's own text.
    std::memmove(o_Value->Text, i_Text, length);
    o_Value->Text[length] = '\0';
    o_Value->IsString = 1;
    o_Value->Number = 0;
}

size_t ExprTextLength(const ExprValue& i_Value) {
    return strnlen(i_Value.Text, EXPR_TEXT_MAX);
}

bool ExprIsTrue(const ExprValue& i_Value) {
    return i_Value.IsString ? i_Value.Text[0] != '\0' : i_Value.Number != 0;
}
