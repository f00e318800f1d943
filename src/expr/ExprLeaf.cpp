// Leaves of an expression: string literals with embedded {expressions}, numbers, variables and
// array elements, names handed to the resolver, and the conversion suffixes .n and .s.
#include "common/Numbers.h"
#include "expr/ExprCost.h"
#include "expr/ExprInternal.h"
#include "expr/ExprScan.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

ExprResolver s_Resolver = nullptr;

// A conversion suffix: .n or .s, an optional radix letter, "_", and a width.
struct Suffix {
    bool Present = false;
    bool ToText = false;
    bool HasRadix = false;
    uint32_t Radix = kExprDefaultRadix;
    bool Signed = false;
    bool Separator = false;
    bool HasWidth = false;
    bool ZeroPad = false;
    size_t Width = 0;
    size_t LetterPos = 0; // offset of the N or S
};

// Reads the suffix that starts with the period at dot. Returns 0 or a position in text.
uint32_t ReadSuffix(const char* text, size_t length, size_t dot, Suffix* suffix,
                    const char** errorText) {
    size_t i = dot + 1;
    suffix->Present = true;
    suffix->LetterPos = i;
    const char kind = i < length ? text[i] : '\0';
    if (kind == 'n' || kind == 'N') {
        suffix->ToText = false;
    } else if (kind == 's' || kind == 'S') {
        suffix->ToText = true;
    } else {
        return ExprFail(errorText, expr_msg::kUnknownFormat, static_cast<uint32_t>(i + 1));
    }
    ++i;
    if (i < length) {
        // A radix letter, or a lower-case d for signed decimal.
        const uint32_t radix = text[i] == 'd' ? 10 : RadixOfLetter(text[i]);
        if (radix != 0) {
            suffix->HasRadix = true;
            suffix->Radix = radix;
            suffix->Signed = text[i] == 'd';
            ++i;
        }
    }
    if (i < length && text[i] == '_') {
        suffix->Separator = true;
        ++i;
    }
    if (i < length && text[i] >= '0' && text[i] <= '9') {
        suffix->HasWidth = true;
        suffix->ZeroPad = text[i] == '0';
        for (; i < length && text[i] >= '0' && text[i] <= '9'; ++i) {
            suffix->Width = suffix->Width * 10 + static_cast<size_t>(text[i] - '0');
            if (suffix->Width > EXPR_TEXT_MAX) {
                suffix->Width = EXPR_TEXT_MAX + 1; // wider than any text: refused when used
            }
        }
    }
    if (i < length) {
        return ExprFail(errorText, expr_msg::kUnknownFormat, static_cast<uint32_t>(i + 1));
    }
    return 0;
}

// Binary digits from bit digits - 1 down to 0 (bits above 31 are 0), grouped by 4 with "_".
void FormatWideBinary(char* buffer, uint32_t value, size_t digits, bool separator) {
    size_t n = 0;
    for (size_t bit = digits; bit-- > 0;) {
        buffer[n++] = (bit < 32 && ((value >> bit) & 1U) != 0) ? '1' : '0';
        if (separator && bit % 4 == 0 && bit != 0) {
            buffer[n++] = '_';
        }
    }
    buffer[n] = '\0';
}

// A number written as text by a .s suffix of a width that a text holds; false when the group
// separators would make the text longer than a value holds.
bool NumberToText(ExprValue* valueOut, const Suffix& suffix) {
    // Room for 255 digits, their group separators and a sign.
    char buffer[EXPR_TEXT_MAX * 2 + 8];
    const uint32_t value = valueOut->Number;
    if (suffix.HasWidth && suffix.ZeroPad) {
        if (suffix.Radix == 2 && suffix.Width > 32) {
            FormatWideBinary(buffer, value, suffix.Width, suffix.Separator);
        } else {
            NumToStr(buffer, value, suffix.Radix, static_cast<int32_t>(suffix.Width), suffix.Signed,
                     suffix.Separator);
        }
        const size_t length = std::strlen(buffer);
        if (length > EXPR_TEXT_MAX) {
            return false; // the group separators made it longer than the width
        }
        ExprSetText(valueOut, buffer, length);
        return true;
    }
    NumToStr(buffer, value, suffix.Radix, 0, suffix.Signed, suffix.Separator);
    const size_t length = std::strlen(buffer);
    if (!suffix.HasWidth || suffix.Width <= length) {
        ExprSetText(valueOut, buffer, length);
        return true;
    }
    const size_t pad = suffix.Width - length;
    valueOut->IsString = 1;
    std::memset(valueOut->Text, ' ', pad);
    std::memcpy(valueOut->Text + pad, buffer, length);
    valueOut->Text[suffix.Width] = '\0';
    return true;
}

uint32_t ApplySuffix(ExprValue* valueOut, const Suffix& suffix, const char** errorText) {
    if (!suffix.ToText) {
        if (!valueOut->IsString) {
            return ExprFail(errorText, expr_msg::kNumToNum,
                            static_cast<uint32_t>(suffix.LetterPos + 1));
        }
        size_t length = ExprTextLength(*valueOut);
        if (suffix.HasWidth && suffix.Width > 0 && suffix.Width < length) {
            length = suffix.Width;
        }
        const uint32_t number = length == 0 ? 0 : StrToNumN(valueOut->Text, length, suffix.Radix);
        ExprSetNumber(valueOut, number);
        return 0;
    }
    // A text is never wider than a value holds.
    const uint32_t widthPos = static_cast<uint32_t>(suffix.LetterPos + 1);
    if (suffix.Width > EXPR_TEXT_MAX) {
        return ExprFail(errorText, expr_msg::kTextTooLong, widthPos);
    }
    if (!valueOut->IsString) {
        return NumberToText(valueOut, suffix)
                   ? 0
                   : ExprFail(errorText, expr_msg::kTextTooLong, widthPos);
    }
    if (suffix.HasWidth) {
        const size_t length = ExprTextLength(*valueOut);
        if (length < suffix.Width) {
            std::memset(valueOut->Text + length, ' ', suffix.Width - length);
        }
        valueOut->Text[suffix.Width] = '\0';
    }
    return 0;
}

// Appends length characters to a text of *textLength characters; false, appending nothing, when
// they would take it beyond EXPR_TEXT_MAX.
bool Append(char* text, size_t* textLength, const char* add, size_t length) {
    if (length > EXPR_TEXT_MAX - *textLength) {
        return false;
    }
    std::memcpy(text + *textLength, add, length);
    *textLength += length;
    text[*textLength] = '\0';
    return true;
}

// The text between the quotes of a string literal, with each {expression} that has a "}" after
// it replaced by its value when it evaluates. False when the text would be longer than a value
// holds.
bool ExpandLiteral(const char* content, size_t contentLength, ExprValue* valueOut,
                   const char* scope) {
    char text[EXPR_TEXT_MAX + 1] = "";
    size_t length = 0;
    const ExprEmbeddedGuard embedded;
    for (size_t i = 0; i < contentLength;) {
        const char c = content[i];
        if (c == '{') {
            const void* close = std::memchr(content + i + 1, '}', contentLength - i - 1);
            if (close != nullptr) {
                const size_t closeAt =
                    static_cast<size_t>(static_cast<const char*>(close) - content);
                ExprValue inner{};
                const char* innerError = nullptr;
                if (ExprEvaluate(content + i + 1, closeAt - i - 1, &inner, scope, &innerError) ==
                    0) {
                    bool appended = false;
                    if (inner.IsString) {
                        appended = Append(text, &length, inner.Text, ExprTextLength(inner));
                    } else {
                        char digits[48];
                        NumToStr(digits, inner.Number, 16, 0, false, false);
                        appended = Append(text, &length, digits, std::strlen(digits));
                    }
                    if (!appended) {
                        return false;
                    }
                    i = closeAt + 1;
                    continue;
                }
            }
        }
        if (!Append(text, &length, &c, 1)) {
            return false;
        }
        ++i;
    }
    ExprSetText(valueOut, text, length);
    return true;
}

uint32_t ResolveName(const char* text, size_t length, bool wantText, ExprValue* valueOut,
                     const char** errorText) {
    if (s_Resolver == nullptr) {
        return ExprFail(errorText, expr_msg::kUnknownToken, 1);
    }
    *valueOut = ExprValue{};
    valueOut->IsString = wantText ? 1 : 0;
    // The resolver always gets an error-text pointer to write through.
    const char* error = expr_msg::kUnknownToken;
    // The leaf goes to the resolver as a text of its own, ended by a NUL.
    const std::string leaf(text, length);
    ExprResolverCalled();
    const uint32_t position =
        s_Resolver(leaf.c_str(), static_cast<uint32_t>(length), valueOut, &error);
    valueOut->Text[EXPR_TEXT_MAX] = '\0';
    if (position == 0) {
        return 0;
    }
    return ExprFail(errorText, error != nullptr ? error : expr_msg::kUnknownToken, position);
}

} // namespace

void ExprSetResolver(ExprResolver resolver) {
    ExprStateChanged();
    s_Resolver = resolver;
}

ExprResolver ExprGetResolver() {
    return s_Resolver;
}

bool ExprFormatElementName(const char* base, size_t baseLength, uint32_t index, char (&name)[256],
                           size_t* nameLength) {
    constexpr size_t kIndexLength = 11; // "[%08Xh]"
    name[0] = '\0';
    if (baseLength + kIndexLength >= sizeof(name)) {
        return false;
    }
    std::memcpy(name, base, baseLength);
    std::snprintf(name + baseLength, sizeof(name) - baseLength, "[%08Xh]", index);
    if (nameLength != nullptr) {
        *nameLength = baseLength + kIndexLength;
    }
    return true;
}

uint32_t ExprElementName(const char* text, size_t length, const char* scope, char (&name)[256],
                         size_t* nameLength, const char** errorText) {
    name[0] = '\0';
    const void* open = std::memchr(text, '[', length);
    if (open == nullptr) {
        if (length >= sizeof(name)) {
            return ExprFail(errorText, expr_msg::kUnknownToken, 1);
        }
        std::memcpy(name, text, length);
        name[length] = '\0';
        if (nameLength != nullptr) {
            *nameLength = length;
        }
        return 0;
    }
    const size_t openAt = static_cast<size_t>(static_cast<const char*>(open) - text);
    const void* close = std::memchr(text + openAt + 1, ']', length - openAt - 1);
    if (close == nullptr) {
        return ExprFail(errorText, expr_msg::kMissingBracket, static_cast<uint32_t>(openAt + 1));
    }
    const size_t closeAt = static_cast<size_t>(static_cast<const char*>(close) - text);
    if (closeAt < openAt + 2) {
        return ExprFail(errorText, expr_msg::kMissingContents, static_cast<uint32_t>(closeAt + 1));
    }
    ExprValue index{};
    const char* indexError = nullptr;
    if (ExprEvaluate(text + openAt + 1, closeAt - openAt - 1, &index, scope, &indexError) != 0) {
        return ExprFail(errorText, expr_msg::kUnknownToken, static_cast<uint32_t>(openAt + 2));
    }
    if (index.IsString) {
        return ExprFail(errorText, expr_msg::kValueIsString, static_cast<uint32_t>(openAt + 2));
    }
    if (!ExprFormatElementName(text, openAt, index.Number, name, nameLength)) {
        return ExprFail(errorText, expr_msg::kArrayNameTooLong, 1);
    }
    return 0;
}

uint32_t ExprEvaluateLeaf(const char* text, size_t length, ExprValue* valueOut, const char* scope,
                          const char** errorText) {
    // The leaf ends at the first period outside strings, which starts the suffix.
    size_t leafLength = length;
    ExprQuoteScanner quotes(text);
    for (size_t i = 0; i < length; ++i) {
        if (quotes.Step(i) || quotes.InString()) {
            continue;
        }
        if (text[i] == '.') {
            leafLength = i;
            break;
        }
    }
    Suffix suffix;
    if (leafLength < length) {
        const uint32_t error = ReadSuffix(text, length, leafLength, &suffix, errorText);
        if (error != 0) {
            return error;
        }
    }
    if (leafLength == 0) {
        return ExprFail(errorText, expr_msg::kExpectedExpr, 1);
    }

    uint32_t radix = kExprDefaultRadix;
    if (text[0] == '"') {
        if (leafLength < 2 || text[leafLength - 1] != '"') {
            return ExprFail(errorText, expr_msg::kInvalidString, 1);
        }
        if (!ExpandLiteral(text + 1, leafLength - 2, valueOut, scope)) {
            return ExprFail(errorText, expr_msg::kTextTooLong, 1);
        }
    } else if (GetNumberRadix(text, leafLength, kExprDefaultRadix, &radix)) {
        ExprSetNumber(valueOut, StrToNumN(text, leafLength, radix));
    } else if (text[0] == '$') {
        char name[256];
        size_t nameLength = 0;
        const uint32_t error =
            ExprElementName(text, leafLength, scope, name, &nameLength, errorText);
        if (error != 0) {
            return error;
        }
        if (!ExprGetVar(name, nameLength, valueOut, scope)) {
            return ExprFail(errorText, expr_msg::kUnknownToken, 1);
        }
    } else {
        const bool wantText = suffix.Present && suffix.ToText && !suffix.HasRadix;
        const uint32_t error = ResolveName(text, leafLength, wantText, valueOut, errorText);
        if (error != 0) {
            return error;
        }
    }
    if (!suffix.Present) {
        return 0;
    }
    return ApplySuffix(valueOut, suffix, errorText);
}
