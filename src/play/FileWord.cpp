// Words that name files.
#include "play/FileWord.h"

#include "expr/Expr.h"
#include "play/WordValue.h"

#include <cstdio>
#include <cstring>

bool IsPathWord(const char* word) {
    return std::strchr(word, '/') != nullptr && word[0] != '$' && word[0] != '(' && word[0] != '"';
}

std::string FileNameOfWord(const char* word, FileNumberDigits digits) {
    if (IsPathWord(word)) {
        return word;
    }
    ExprValue value{};
    const char* errorText = nullptr;
    if (EvaluateWord(word, &value, &errorText) != 0) {
        return word;
    }
    if (value.IsString != 0) {
        return value.Text;
    }
    char text[16];
    std::snprintf(text, sizeof(text), digits == FileNumberDigits::kDecimal ? "%u" : "%X",
                  value.Number);
    return text;
}
