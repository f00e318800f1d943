// The value of one word of a statement.
#include "play/WordValue.h"

#include "play/ScriptState.h"

#include <cstring>

uint32_t EvaluateWord(const char* word, ExprValue* value, const char** errorText) {
    *errorText = nullptr;
    const uint32_t error = ExprEvaluate(word, std::strlen(word), value, CurrentScope(), errorText);
    if (error != 0 && *errorText == nullptr) {
        *errorText = "Invalid syntax.";
    }
    return error;
}
