#include "common/Numbers.h"

#include "common/Assert.h"
#include "common/StrPool.h"
#include "common/Text.h"

#include <cstdio>
#include <cstring>

namespace {

// The value of c as a digit of radix, or -1 when it is none.
int DigitValue(char c, uint32_t radix) {
    int d;
    if (c >= '0' && c <= '9') {
        d = c - '0';
    } else if (c >= 'a' && c <= 'f') {
        d = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
        d = c - 'A' + 10;
    } else {
        return -1;
    }
    return static_cast<uint32_t>(d) < radix ? d : -1;
}

// The number of characters of text within its first len, ending early at a NUL.
size_t BoundedLength(const char* text, size_t len) {
    size_t n = 0;
    while (n < len && text[n] != '\0') {
        ++n;
    }
    return n;
}

bool IsSupportedRadix(uint32_t radix) {
    return radix == 2 || radix == 8 || radix == 10 || radix == 16;
}

bool IsUnitLetters(const char* q, char first, char second) {
    return UpperAscii(q[0]) == first &&
           UpperAscii(q[1]) == second; // q[1] is read only past a letter
}

} // namespace

uint32_t RadixOfLetter(char c) {
    switch (c) {
    case 'H':
    case 'h':
        return 16;
    case 'T':
    case 't':
        return 10;
    case 'O':
    case 'o':
        return 8;
    case 'I':
    case 'i':
        return 2;
    default:
        return 0;
    }
}

bool IsNumberInRadix(const char* text, size_t len, uint32_t radix) {
    if (!Q3V_ASSERT_TEXT(text != nullptr, "Str != NULL")) {
        return false;
    }
    const size_t n = BoundedLength(text, len);
    for (size_t i = 0; i < n; ++i) {
        const char c = text[i];
        if (c == '_' || DigitValue(c, radix) >= 0) {
            continue;
        }
        if (i + 1 == n && RadixOfLetter(c) == radix) {
            continue;
        }
        return false;
    }
    return true;
}

bool GetNumberRadix(const char* text, size_t len, uint32_t defaultRadix, uint32_t* radix) {
    if (IsNumberInRadix(text, len, defaultRadix)) {
        if (radix) {
            *radix = defaultRadix;
        }
        return true;
    }
    if (!text) {
        return false;
    }
    const size_t n = BoundedLength(text, len);
    if (n >= 2) {
        const uint32_t letterRadix = RadixOfLetter(text[n - 1]);
        if (letterRadix != 0 && IsNumberInRadix(text, n, letterRadix)) {
            if (radix) {
                *radix = letterRadix;
            }
            return true;
        }
    }
    return false;
}

uint32_t StrToNumN(const char* text, size_t len, uint32_t radix) {
    if (!text) {
        return 0;
    }
    if (!Q3V_ASSERT_TEXT(IsSupportedRadix(radix), "false")) {
        return 0;
    }
    uint32_t value = 0;
    for (size_t i = 0; len == 0 || i < len; ++i) {
        const char c = text[i];
        if (c == '_') {
            continue;
        }
        const int d = DigitValue(c, radix);
        if (d < 0) {
            break;
        }
        value = value * radix + static_cast<uint32_t>(d);
    }
    return value;
}

uint32_t StrToNum(const char* text, uint32_t radix) {
    return text ? StrToNumN(text, 0, radix) : 0;
}

char* NumToStr(char* buf, uint32_t value, uint32_t radix, int32_t SigDigits, bool isSigned,
               bool separator) {
    // Widths below 0 would turn zero padding into left justification.
    // Widths are bounded by the longest text of the system (255 characters).
    const int width = SigDigits < 0 ? 0 : (SigDigits > 255 ? 255 : SigDigits);
    switch (radix) {
    case 2: {
        if (!Q3V_ASSERT_TEXT(SigDigits >= 0 && SigDigits <= 32, "SigDigits>=0 && SigDigits<=32")) {
            return buf;
        }
        int top = SigDigits - 1;
        for (int bit = 31; bit > top; --bit) {
            if (value & (1u << bit)) {
                top = bit;
                break;
            }
        }
        if (top < 0) {
            top = 0;
        }
        char* out = buf;
        for (int bit = top; bit >= 0; --bit) {
            *out++ = (value & (1u << bit)) ? '1' : '0';
            if (separator && bit != 0 && bit % 4 == 0) {
                *out++ = '_';
            }
        }
        *out = '\0';
        return buf;
    }
    case 8:
        std::sprintf(buf, "%0*o", width, value);
        return buf;
    case 10:
        if (isSigned) {
            std::sprintf(buf, "%0*d", width, static_cast<int32_t>(value));
        } else {
            std::sprintf(buf, "%0*u", width, value);
        }
        return buf;
    case 16:
        if (width <= 4 && value <= 0xFFFF) {
            std::sprintf(buf, "%0*X", width, value);
        } else {
            std::sprintf(buf, "%0*X%s%04X", width > 4 ? width - 4 : 0, value >> 16,
                         separator ? "_" : "", value & 0xFFFF);
        }
        return buf;
    default:
        Q3V_ASSERT(false);
        return buf;
    }
}

char* AppendNum(char* buf, uint32_t value, uint32_t radix, int32_t SigDigits) {
    char* end = buf + std::strlen(buf);
    NumToStr(end, value, radix, SigDigits, false, false);
    return end;
}

char* FreqToStr(uint32_t hz) {
    char* text = NextStr(nullptr);
    const size_t size = kStrPoolDefaultSize;
    if (hz > 100000) {
        std::snprintf(text, size, "%u.%03u MHz", hz / 1000000, (hz / 1000) % 1000);
    } else if (hz > 1000) {
        std::snprintf(text, size, "%u.%03u KHz", hz / 1000, hz % 1000);
    } else {
        std::snprintf(text, size, "%u Hz", hz);
    }
    return text;
}

uint32_t StrToFreq(const char* text, uint32_t defaultUnit) {
    if (!text) {
        return 0;
    }
    const char* p = text;
    while (*p == ' ' || *p == '\t') {
        ++p;
    }
    uint32_t unit = defaultUnit;
    uint32_t whole = 0;
    uint32_t fraction = 0;
    int32_t weight = -1; // -1: no period seen yet
    for (; *p != '\0'; ++p) {
        const char c = *p;
        if (c >= '0' && c <= '9') {
            const uint32_t d = static_cast<uint32_t>(c - '0');
            if (weight < 0) {
                whole = whole * 10 + d;
            } else {
                fraction += d * static_cast<uint32_t>(weight);
                weight /= 10;
            }
            continue;
        }
        if (c == '.') {
            weight = 100;
            continue;
        }
        const char* q = (c == ' ') ? p + 1 : p;
        if (IsUnitLetters(q, 'H', 'Z')) {
            unit = 1;
        } else if (IsUnitLetters(q, 'K', 'H')) {
            unit = 1000;
        } else if (IsUnitLetters(q, 'M', 'H')) {
            unit = 1000000;
        }
        break;
    }
    uint32_t result = whole * unit;
    if (unit == 1000 || unit == 1000000) {
        result += (unit / 1000) * fraction;
    }
    return result;
}

void MaskBitRange(uint32_t mask, int32_t* highBit, int32_t* lowBit) {
    int32_t low = -1;
    int32_t high = -1;
    if (mask != 0) {
        low = __builtin_ctz(mask);
        high = low;
        while (high < 31 && (mask & (1u << (high + 1)))) {
            ++high;
        }
    }
    if (highBit) {
        *highBit = high;
    }
    if (lowBit) {
        *lowBit = low;
    }
}

uint32_t MaskShiftDown(uint32_t value) {
    return value == 0 ? 0 : value >> __builtin_ctz(value);
}

uint16_t Swap16(uint16_t value) {
    return static_cast<uint16_t>((value >> 8) | (value << 8));
}

uint32_t Swap32(uint32_t value) {
    return (value >> 24) | ((value >> 8) & 0x0000FF00u) | ((value << 8) & 0x00FF0000u) |
           (value << 24);
}
