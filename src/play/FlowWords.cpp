// The word rules of IF and WHILE.
#include "play/FlowWords.h"

#include "common/Text.h"

#include <cstring>

bool IsThenWord(const char* word) {
    const size_t length = std::strlen(word);
    if (length >= 4) {
        return CompareNoCase(word, "THEN", 4) == 0;
    }
    return length > 0 && CompareNoCase(word, "THEN", length) == 0;
}

bool IsDoWord(const char* word) {
    const size_t length = std::strlen(word);
    if (length >= 2) {
        return CompareNoCase(word, "DO", 2) == 0;
    }
    return length == 1 && LowerAscii(word[0]) == 'd';
}

bool IsTrueCondition(const ExprValue& value) {
    return value.IsString != 0 ? value.Text[0] != '\0' : value.Number != 0;
}
