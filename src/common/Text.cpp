#include "common/Text.h"

#include "common/Assert.h"
#include "common/StrPool.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

char* LowerAsciiInPlace(char* text) {
    for (char* c = text; *c != '\0'; ++c) {
        *c = LowerAscii(*c);
    }
    return text;
}

std::string UpperAsciiCopy(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        c = UpperAscii(c);
    }
    return upper;
}

int32_t CompareNoCase(const char* a, const char* b, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        if (a[i] == '\0') {
            return -1;
        }
        if (b[i] == '\0') {
            return 1;
        }
        if (LowerAscii(a[i]) != LowerAscii(b[i])) {
            return 1;
        }
    }
    return 0;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && CompareNoCase(a.data(), b.data(), a.size()) == 0;
}

const char* FindNoCaseN(const char* text, size_t textLen, const char* needle, size_t needleLen) {
    if (needleLen > textLen) {
        return nullptr;
    }
    for (size_t p = 0; p <= textLen - needleLen; ++p) {
        if (CompareNoCase(text + p, needle, needleLen) == 0) {
            return text + p;
        }
    }
    return nullptr;
}

char* FindNoCaseN(char* text, size_t textLen, const char* needle, size_t needleLen) {
    return const_cast<char*>(
        FindNoCaseN(static_cast<const char*>(text), textLen, needle, needleLen));
}

const char* FindNoCase(const char* text, const char* needle) {
    return FindNoCaseN(text, std::strlen(text), needle, std::strlen(needle));
}

char* FindNoCase(char* text, const char* needle) {
    return const_cast<char*>(FindNoCase(static_cast<const char*>(text), needle));
}

char* CopyEllipsis(char* dst, const char* src, size_t len, size_t size) {
    if (len <= size) {
        std::strncpy(dst, src, len);
        dst[len] = '\0';
        return dst;
    }
    // A size below 3 has no room for any text: the result is size periods.
    const size_t keep = size >= 3 ? size - 3 : 0;
    std::strncpy(dst, src, keep);
    std::memcpy(dst + keep, "...", size - keep);
    dst[size] = '\0';
    return dst;
}

size_t LfToCrLf(char* text, size_t size) {
    const size_t len = std::strlen(text);
    size_t added = 0;
    for (size_t i = 0; i < len; ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) {
            ++added;
        }
    }
    const size_t newLen = len + added;
    if (!Q3V_ASSERT_TEXT(newLen < size, "len < Size")) {
        return len; // left unchanged rather than written past the buffer
    }
    text[newLen] = '\0';
    size_t w = newLen;
    for (size_t r = len; r-- > 0;) {
        text[--w] = text[r];
        if (text[r] == '\n' && (r == 0 || text[r - 1] != '\r')) {
            text[--w] = '\r';
        }
    }
    return newLen;
}

size_t UnescapeStr(char* text) {
    if (!text) {
        return 0;
    }
    size_t w = 0;
    for (size_t r = 0; text[r] != '\0'; ++r) {
        char c = text[r];
        if (c == '\\') {
            const char e = text[r + 1];
            if (e == '\0') {
                break; // a single closing backslash is dropped
            }
            ++r;
            c = EscapedChar(e);
        }
        text[w++] = c;
    }
    text[w] = '\0';
    return w;
}

char EscapedChar(char letter) {
    switch (letter) {
    case '0':
        return '\0';
    case 'a':
        return '\a';
    case 'b':
        return '\b';
    case 'n':
        return '\n';
    case 'r':
        return '\r';
    case 't':
        return '\t';
    default:
        return letter;
    }
}

size_t LineBreakPos(const char* text, size_t width) {
    // Only the first width + 1 characters matter.
    size_t len = 0;
    while (len <= width && text[len] != '\0') {
        ++len;
    }
    size_t i = len < width ? len : width;
    for (size_t k = 0; k < i; ++k) {
        if (text[k] == '\n') {
            i = k;
            break;
        }
    }
    if (len < width) {
        return i;
    }
    size_t j = width + 1; // none
    for (size_t k = 0; k <= width && k < len; ++k) {
        if (text[k] == ' ') {
            j = k;
        }
    }
    if (j > width) {
        return i;
    }
    return j < i ? j : i;
}

char* PadFormat(int32_t width, const char* suffix, const char* fmt, ...) {
    if (!suffix) {
        suffix = "";
    }
    va_list args;
    va_start(args, fmt);
    va_list measure;
    va_copy(measure, args);
    const int formatted = std::vsnprintf(nullptr, 0, fmt, measure);
    va_end(measure);
    const size_t formattedLen = formatted > 0 ? static_cast<size_t>(formatted) : 0;
    const size_t suffixLen = std::strlen(suffix);
    const size_t textLen = formattedLen + suffixLen;

    char* text = NextStrSized(nullptr, static_cast<int32_t>(textLen + 1));
    if (formatted > 0) {
        std::vsnprintf(text, formattedLen + 1, fmt, args);
    }
    va_end(args);
    std::memcpy(text + formattedLen, suffix, suffixLen + 1);

    // Left-justified in the field; a longer text is kept whole and followed by two blanks.
    const bool fits = width >= 0 && textLen <= static_cast<size_t>(width);
    const size_t outLen = fits ? static_cast<size_t>(width) : textLen + 2;
    char* out = NextStrSized(nullptr, static_cast<int32_t>(outLen + 1));
    std::memcpy(out, text, textLen);
    std::memset(out + textLen, ' ', outLen - textLen);
    out[outLen] = '\0';
    return out;
}

char* PrependStr(char* dst, const char* prefix) {
    const size_t prefixLen = std::strlen(prefix);
    std::memmove(dst + prefixLen, dst, std::strlen(dst) + 1);
    std::memcpy(dst, prefix, prefixLen);
    return dst;
}

const char* StrStr(const char* text, const char* needle) {
    return std::strstr(text, needle);
}
char* StrStr(char* text, const char* needle) {
    return std::strstr(text, needle);
}
const char* StrChr(const char* text, int ch) {
    return std::strchr(text, ch);
}
char* StrChr(char* text, int ch) {
    return std::strchr(text, ch);
}
const char* StrRChr(const char* text, int ch) {
    return std::strrchr(text, ch);
}
char* StrRChr(char* text, int ch) {
    return std::strrchr(text, ch);
}
