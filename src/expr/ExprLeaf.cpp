// Leaves of an expression: string literals with embedded {expressions}, numbers, variables and
// array elements, names handed to the resolver, and the conversion suffixes .n and .s.
#include "common/Numbers.h"
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
    uint32_t Radix = EXPR_DEFAULT_RADIX;
    bool Signed = false;
    bool Separator = false;
    bool HasWidth = false;
    bool ZeroPad = false;
    size_t Width = 0;
    size_t LetterPos = 0; // offset of the N or S
};

// Reads the suffix that starts with the period at i_Dot. Returns 0 or a position in i_Text.
uint32_t ReadSuffix(const char* i_Text, size_t i_Length, size_t i_Dot, Suffix* o_Suffix,
                    const char** o_ErrorText) {
    size_t i = i_Dot + 1;
    o_Suffix->Present = true;
    o_Suffix->LetterPos = i;
    const char kind = i < i_Length ? i_Text[i] : '\0';
    if (kind == 'n' || kind == 'N')
        o_Suffix->ToText = false;
    else if (kind == 's' || kind == 'S')
        o_Suffix->ToText = true;
    else
        return ExprFail(o_ErrorText, expr_msg::UnknownFormat, static_cast<uint32_t>(i + 1));
    ++i;
    if (i < i_Length) {
        // A radix letter, or a lower-case d for signed decimal.
        const uint32_t radix = i_Text[i] == 'd' ? 10 : RadixOfLetter(i_Text[i]);
        if (radix != 0) {
            o_Suffix->HasRadix = true;
            o_Suffix->Radix = radix;
            o_Suffix->Signed = i_Text[i] == 'd';
            ++i;
        }
    }
    if (i < i_Length && i_Text[i] == '_') {
        o_Suffix->Separator = true;
        ++i;
    }
    if (i < i_Length && i_Text[i] >= '0' && i_Text[i] <= '9') {
        o_Suffix->HasWidth = true;
        o_Suffix->ZeroPad = i_Text[i] == '0';
        for (; i < i_Length && i_Text[i] >= '0' && i_Text[i] <= '9'; ++i) {
            o_Suffix->Width = o_Suffix->Width * 10 + static_cast<size_t>(i_Text[i] - '0');
            if (o_Suffix->Width > EXPR_TEXT_MAX)
                o_Suffix->Width = EXPR_TEXT_MAX; // no text holds more
        }
    }
    if (i < i_Length)
        return ExprFail(o_ErrorText, expr_msg::UnknownFormat, static_cast<uint32_t>(i + 1));
    return 0;
}

// Binary digits from bit i_Digits - 1 down to 0 (bits above 31 are 0), grouped by 4 with "_".
void FormatWideBinary(char* o_Buffer, uint32_t i_Value, size_t i_Digits, bool i_Separator) {
    size_t n = 0;
    for (size_t bit = i_Digits; bit-- > 0;) {
        o_Buffer[n++] = (bit < 32 && ((i_Value >> bit) & 1U) != 0) ? '1' : '0';
        if (i_Separator && bit % 4 == 0 && bit != 0)
            o_Buffer[n++] = '_';
    }
    o_Buffer[n] = '\0';
}

// A number written as text by a .s suffix.
void NumberToText(ExprValue* io_Value, const Suffix& i_Suffix) {
    // Room for 255 digits, their group separators and a sign.
    char buffer[EXPR_TEXT_MAX * 2 + 8];
    const uint32_t value = io_Value->Number;
    if (i_Suffix.HasWidth && i_Suffix.ZeroPad) {
        if (i_Suffix.Radix == 2 && i_Suffix.Width > 32)
            FormatWideBinary(buffer, value, i_Suffix.Width, i_Suffix.Separator);
        else
            NumToStr(buffer, value, i_Suffix.Radix, static_cast<int32_t>(i_Suffix.Width),
                     i_Suffix.Signed, i_Suffix.Separator);
        ExprSetText(io_Value, buffer, std::strlen(buffer));
        return;
    }
    NumToStr(buffer, value, i_Suffix.Radix, 0, i_Suffix.Signed, i_Suffix.Separator);
    const size_t length = std::strlen(buffer);
    if (!i_Suffix.HasWidth || i_Suffix.Width <= length) {
        ExprSetText(io_Value, buffer, length);
        return;
    }
    const size_t pad = i_Suffix.Width - length;
    io_Value->IsString = 1;
    std::memset(io_Value->Text, ' ', pad);
    std::memcpy(io_Value->Text + pad, buffer, length);
    io_Value->Text[i_Suffix.Width] = '\0';
}

uint32_t ApplySuffix(ExprValue* io_Value, const Suffix& i_Suffix, const char** o_ErrorText) {
    if (!i_Suffix.ToText) {
        if (!io_Value->IsString)
            return ExprFail(o_ErrorText, expr_msg::NumToNum,
                            static_cast<uint32_t>(i_Suffix.LetterPos + 1));
        size_t length = ExprTextLength(*io_Value);
        if (i_Suffix.HasWidth && i_Suffix.Width > 0 && i_Suffix.Width < length)
            length = i_Suffix.Width;
        const uint32_t number = length == 0 ? 0 : StrToNumN(io_Value->Text, length, i_Suffix.Radix);
        ExprSetNumber(io_Value, number);
        return 0;
    }
    if (!io_Value->IsString) {
        NumberToText(io_Value, i_Suffix);
        return 0;
    }
    if (i_Suffix.HasWidth) {
        const size_t length = ExprTextLength(*io_Value);
        if (length < i_Suffix.Width)
            std::memset(io_Value->Text + length, ' ', i_Suffix.Width - length);
        io_Value->Text[i_Suffix.Width] = '\0';
    }
    return 0;
}

// Appends up to i_Length characters to a text of *io_Length characters, never beyond
// EXPR_TEXT_MAX.
void Append(char* io_Text, size_t* io_Length, const char* i_Add, size_t i_Length) {
    const size_t room = EXPR_TEXT_MAX - *io_Length;
    const size_t n = i_Length < room ? i_Length : room;
    std::memcpy(io_Text + *io_Length, i_Add, n);
    *io_Length += n;
    io_Text[*io_Length] = '\0';
}

// The text between the quotes of a string literal, with each {expression} that has a "}" after
// it replaced by its value when it evaluates.
void ExpandLiteral(const char* i_Content, size_t i_Length, ExprValue* o_Value,
                   const char* i_Scope) {
    char text[EXPR_TEXT_MAX + 1] = "";
    size_t length = 0;
    for (size_t i = 0; i < i_Length && length < EXPR_TEXT_MAX;) {
        const char c = i_Content[i];
        if (c == '{') {
            const void* close = std::memchr(i_Content + i + 1, '}', i_Length - i - 1);
            if (close != nullptr) {
                const size_t closeAt =
                    static_cast<size_t>(static_cast<const char*>(close) - i_Content);
                ExprValue inner{};
                const char* innerError = nullptr;
                if (ExprEvaluate(i_Content + i + 1, closeAt - i - 1, &inner, i_Scope,
                                 &innerError) == 0) {
                    if (inner.IsString) {
                        Append(text, &length, inner.Text, ExprTextLength(inner));
                    } else {
                        char digits[48];
                        NumToStr(digits, inner.Number, 16, 0, false, false);
                        Append(text, &length, digits, std::strlen(digits));
                    }
                    i = closeAt + 1;
                    continue;
                }
            }
        }
        Append(text, &length, &c, 1);
        ++i;
    }
    ExprSetText(o_Value, text, length);
}

uint32_t ResolveName(const char* i_Text, size_t i_Length, bool i_WantText, ExprValue* o_Value,
                     const char** o_ErrorText) {
    if (s_Resolver == nullptr)
        return ExprFail(o_ErrorText, expr_msg::UnknownToken, 1);
    *o_Value = ExprValue{};
    o_Value->IsString = i_WantText ? 1 : 0;
    // The resolver always gets an error-text pointer to write through.
    const char* error = expr_msg::UnknownToken;
    // The leaf goes to the resolver as a text of its own, ended by a NUL.
    const std::string leaf(i_Text, i_Length);
    const uint32_t position =
        s_Resolver(leaf.c_str(), static_cast<uint32_t>(i_Length), o_Value, &error);
    o_Value->Text[EXPR_TEXT_MAX] = '\0';
    if (position == 0)
        return 0;
    return ExprFail(o_ErrorText, error != nullptr ? error : expr_msg::UnknownToken, position);
}

} // namespace

void ExprSetResolver(ExprResolver i_Resolver) {
    s_Resolver = i_Resolver;
}

ExprResolver ExprGetResolver() {
    return s_Resolver;
}

bool ExprFormatElementName(const char* i_Base, size_t i_BaseLength, uint32_t i_Index,
                           char (&o_Name)[256], size_t* o_NameLength) {
    constexpr size_t indexLength = 11; // "[%08Xh]"
    o_Name[0] = '\0';
    if (i_BaseLength + indexLength >= sizeof(o_Name))
        return false;
    std::memcpy(o_Name, i_Base, i_BaseLength);
    std::snprintf(o_Name + i_BaseLength, sizeof(o_Name) - i_BaseLength, "[%08Xh]", i_Index);
    if (o_NameLength != nullptr)
        *o_NameLength = i_BaseLength + indexLength;
    return true;
}

uint32_t ExprElementName(const char* i_Text, size_t i_Length, const char* i_Scope,
                         char (&o_Name)[256], size_t* o_NameLength, const char** o_ErrorText) {
    o_Name[0] = '\0';
    const void* open = std::memchr(i_Text, '[', i_Length);
    if (open == nullptr) {
        if (i_Length >= sizeof(o_Name))
            return ExprFail(o_ErrorText, expr_msg::UnknownToken, 1);
        std::memcpy(o_Name, i_Text, i_Length);
        o_Name[i_Length] = '\0';
        if (o_NameLength != nullptr)
            *o_NameLength = i_Length;
        return 0;
    }
    const size_t openAt = static_cast<size_t>(static_cast<const char*>(open) - i_Text);
    const void* close = std::memchr(i_Text + openAt + 1, ']', i_Length - openAt - 1);
    if (close == nullptr)
        return ExprFail(o_ErrorText, expr_msg::MissingBracket, static_cast<uint32_t>(openAt + 1));
    const size_t closeAt = static_cast<size_t>(static_cast<const char*>(close) - i_Text);
    if (closeAt < openAt + 2)
        return ExprFail(o_ErrorText, expr_msg::MissingContents, static_cast<uint32_t>(closeAt + 1));
    ExprValue index{};
    const char* indexError = nullptr;
    if (ExprEvaluate(i_Text + openAt + 1, closeAt - openAt - 1, &index, i_Scope, &indexError) != 0)
        return ExprFail(o_ErrorText, expr_msg::UnknownToken, static_cast<uint32_t>(openAt + 2));
    if (index.IsString)
        return ExprFail(o_ErrorText, expr_msg::ValueIsString, static_cast<uint32_t>(openAt + 2));
    if (!ExprFormatElementName(i_Text, openAt, index.Number, o_Name, o_NameLength))
        return ExprFail(o_ErrorText, expr_msg::ArrayNameTooLong, 1);
    return 0;
}

uint32_t ExprEvaluateLeaf(const char* i_Text, size_t i_Length, ExprValue* o_Value,
                          const char* i_Scope, const char** o_ErrorText) {
    // The leaf ends at the first period outside strings, which starts the suffix.
    size_t leafLength = i_Length;
    ExprQuoteScanner quotes(i_Text);
    for (size_t i = 0; i < i_Length; ++i) {
        if (quotes.Step(i) || quotes.InString())
            continue;
        if (i_Text[i] == '.') {
            leafLength = i;
            break;
        }
    }
    Suffix suffix;
    if (leafLength < i_Length) {
        const uint32_t error = ReadSuffix(i_Text, i_Length, leafLength, &suffix, o_ErrorText);
        if (error != 0)
            return error;
    }
    if (leafLength == 0)
        return ExprFail(o_ErrorText, expr_msg::ExpectedExpr, 1);

    uint32_t radix = EXPR_DEFAULT_RADIX;
    if (i_Text[0] == '"') {
        if (leafLength < 2 || i_Text[leafLength - 1] != '"')
            return ExprFail(o_ErrorText, expr_msg::InvalidString, 1);
        ExpandLiteral(i_Text + 1, leafLength - 2, o_Value, i_Scope);
    } else if (GetNumberRadix(i_Text, leafLength, EXPR_DEFAULT_RADIX, &radix)) {
        ExprSetNumber(o_Value, StrToNumN(i_Text, leafLength, radix));
    } else if (i_Text[0] == '$') {
        char name[256];
        size_t nameLength = 0;
        const uint32_t error =
            ExprElementName(i_Text, leafLength, i_Scope, name, &nameLength, o_ErrorText);
        if (error != 0)
            return error;
        if (!ExprGetVar(name, nameLength, o_Value, i_Scope))
            return ExprFail(o_ErrorText, expr_msg::UnknownToken, 1);
    } else {
        const bool wantText = suffix.Present && suffix.ToText && !suffix.HasRadix;
        const uint32_t error = ResolveName(i_Text, leafLength, wantText, o_Value, o_ErrorText);
        if (error != 0)
            return error;
    }
    if (!suffix.Present)
        return 0;
    return ApplySuffix(o_Value, suffix, o_ErrorText);
}
