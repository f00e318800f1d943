// Small helpers over ExprValue shared by the evaluator's sources.
#include "expr/ExprInternal.h"

#include <cstring>

void ExprSetNumber(ExprValue* value, uint32_t number) {
    value->IsString = 0;
    value->Number = number;
    value->Text[0] = '\0';
}

void ExprSetText(ExprValue* value, const char* text, size_t lengthIn) {
    const size_t length = lengthIn < EXPR_TEXT_MAX ? lengthIn : EXPR_TEXT_MAX;
    // The source may be the value's own text.
    std::memmove(value->Text, text, length);
    value->Text[length] = '\0';
    value->IsString = 1;
    value->Number = 0;
}

size_t ExprTextLength(const ExprValue& value) {
    return strnlen(value.Text, EXPR_TEXT_MAX);
}

bool ExprIsTrue(const ExprValue& value) {
    return value.IsString ? value.Text[0] != '\0' : value.Number != 0;
}
