#include "play/ArgParsers.h"

#include "common/Numbers.h"
#include "common/Text.h"
#include "expr/Expr.h"
#include "play/ScriptState.h"

#include <cstring>
#include <string>

namespace {

ParseExprHook s_ExprHook = nullptr;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsHexDigit(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// The value of one character of a quoted data string: characters above 127 count as negative
// 8-bit codes widened to 32 bits.
uint32_t CharValue(char c) {
    return static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(c)));
}

} // namespace

uint32_t CommandStemLength(const char* word) {
    uint32_t n = 0;
    while (word[n] != 0 && word[n] != '\t' && word[n] != ' ' && !IsDigit(word[n])) {
        ++n;
    }
    return n;
}

int UnitFromCommand(const char* word, uint32_t defaultBytes, uint32_t* bytes) {
    uint32_t s = CommandStemLength(word);
    if (s == 0 || word[s] == 0) {
        *bytes = defaultBytes;
        return 0;
    }
    if (!IsDigit(word[s])) {
        return -1;
    }
    uint32_t bits = 0;
    if (ParseNumber(word + s, 10, &bits) != 0 || bits == 0 || bits % 8 != 0) {
        return -1;
    }
    *bytes = bits / 8;
    return 0;
}

int ParseStartOperand(const char* text, uint32_t current, uint32_t length, uint32_t* start) {
    if (text[0] == 0) {
        *start = current;
        return 0;
    }
    if (text[0] == '.') {
        // Computed in 64 bits: twice a length near 4 GiB must not wrap round to a small step.
        uint64_t step = text[1] == '.' ? 2 * uint64_t{length} : length;
        *start = current >= step ? static_cast<uint32_t>(current - step) : 0;
        return 0;
    }
    return ParseNumber(text, 16, start) == 0 ? 0 : -1;
}

int ParseEndOperand(const char* text, uint32_t start, uint32_t unit, uint32_t defaultLength,
                    uint32_t* length) {
    if (text[0] == 0 || text[0] == '.') {
        *length = defaultLength;
        return 0;
    }
    uint64_t wide = 0;
    uint32_t number = 0;
    if (text[0] == 'L' || text[0] == 'l') {
        if (ParseNumber(text + 1, 16, &number) != 0) {
            return -1;
        }
        wide = uint64_t{number} * unit;
    } else {
        if (ParseNumber(text, 16, &number) != 0 || number < start) {
            return -1;
        }
        wide = uint64_t{number} - start + unit;
    }
    if (wide > UINT32_MAX) {
        return -1;
    }
    *length = static_cast<uint32_t>(wide);
    return 0;
}

int ParseNumber(const char* text, uint32_t radix, uint32_t* value) {
    if (text == nullptr) {
        return -1;
    }
    size_t len = std::strlen(text);
    uint32_t r = radix;
    if (GetNumberRadix(text, len, radix, &r)) {
        *value = StrToNumN(text, len, r);
        return 0;
    }
    if (s_ExprHook != nullptr) {
        return s_ExprHook(text, static_cast<uint32_t>(len), value);
    }
    return -1;
}

void SetExprHook(ParseExprHook hook) {
    s_ExprHook = hook;
}

int EvalArgHook(const char* text, uint32_t length, uint32_t* value) {
    ExprValue result{};
    // The resolver may write an error text through this pointer: it always points at a local,
    // and what it receives is dropped (the caller reports the word).
    const char* errorText = nullptr;
    if (ExprEvaluate(text, length, &result, CurrentScope(), &errorText) != 0) {
        return -1;
    }
    if (result.IsString) {
        return -1;
    }
    *value = result.Number;
    return 0;
}

int ParseByteList(uint32_t* values, uint32_t* count, uint32_t radix, int first, int argc,
                  const char* const* argv) {
    *count = 0;
    for (int i = first; i < argc; ++i) {
        const char* word = argv[i];
        const char quote = word[0];
        // A value beyond the last the list can hold is refused, never dropped.
        if (quote != '"' && quote != '\'') {
            if (*count == kParseMaxValues) {
                return kParseListTooLong;
            }
            if (ParseNumber(word, radix, &values[*count]) != 0) {
                return i;
            }
            ++*count;
            continue;
        }
        const char* p = word + 1;
        while (*p != 0 && *p != quote) {
            if (*count == kParseMaxValues) {
                return kParseListTooLong;
            }
            char c = *p++;
            if (c == '\\' && *p != 0) {
                c = EscapedChar(*p++);
            }
            values[(*count)++] = CharValue(c);
        }
        if (*p == quote && p[1] != 0) {
            return i;
        }
    }
    return 0;
}

int ParseColor(const char* text, uint32_t radix, uint32_t* value, uint32_t* kind) {
    const char* rest = text;
    bool ycbcr = false;
    if (*rest == 'Y' || *rest == 'y') {
        ycbcr = true;
        ++rest;
    } else if (*rest == 'R' || *rest == 'r') {
        ++rest;
    }
    if (ycbcr) {
        *kind = kColorYcbcr;
    } else {
        uint32_t hexDigits = 0;
        for (const char* p = text; *p != 0; ++p) {
            hexDigits += IsHexDigit(*p) ? 1 : 0;
        }
        *kind = hexDigits > 6 ? kColorArgb : kColorRgb;
    }
    uint32_t v = 0;
    if (std::strchr(rest, ',') == nullptr) {
        if (ParseNumber(rest, radix, &v) != 0) {
            return -1;
        }
    } else {
        // The parts are parsed from a copy, so the caller's word stays whole for its message.
        std::string parts(rest);
        uint32_t n = 0;
        size_t from = 0;
        for (;;) {
            size_t comma = parts.find(',', from);
            std::string part =
                parts.substr(from, comma == std::string::npos ? comma : comma - from);
            uint32_t p = 0;
            if (ParseNumber(part.c_str(), radix, &p) != 0) {
                return -1;
            }
            v = v * 256 + (p & 0xFF);
            ++n;
            if (comma == std::string::npos) {
                break;
            }
            from = comma + 1;
        }
        if (n < 3) {
            return -1;
        }
    }
    *value = *kind == kColorRgb ? (v | 0xFF000000u) : v;
    return 0;
}
