#pragma once
// The one quote rule of the evaluator, used by every scan over an expression text: a double
// quote starts or ends a string unless an odd number of backslashes stands right before it
// (\" is an escaped quote, \\" an escaped backslash followed by a real quote).
#include <cstddef>
#include <cstring>

// Whether the character at pos is a double quote that starts or ends a string.
inline bool ExprIsStringQuote(const char* text, size_t pos) {
    if (text[pos] != '"') {
        return false;
    }
    size_t backslashes = 0;
    while (backslashes < pos && text[pos - 1 - backslashes] == '\\') {
        ++backslashes;
    }
    return backslashes % 2 == 0;
}

// The position of the quote that ends the string opened by the quote at open, or length when
// the string runs to the end of the text.
inline size_t ExprStringEnd(const char* text, size_t length, size_t open) {
    for (size_t pos = open + 1; pos < length;) {
        const void* quote = std::memchr(text + pos, '"', length - pos);
        if (quote == nullptr) {
            break;
        }
        pos = static_cast<size_t>(static_cast<const char*>(quote) - text);
        if (ExprIsStringQuote(text, pos)) {
            return pos;
        }
        ++pos;
    }
    return length;
}

// Follows the string state of a text scanned from its start, one position after another.
class ExprQuoteScanner {
public:
    explicit ExprQuoteScanner(const char* text) : m_Text(text) {}
    // Takes in the character at pos; true when it was a quote that changed the state.
    bool Step(size_t pos) {
        if (!ExprIsStringQuote(m_Text, pos)) {
            return false;
        }
        m_InString = !m_InString;
        return true;
    }
    // Whether the last character taken in lies inside a string (or was its opening quote).
    bool InString() const { return m_InString; }

private:
    const char* m_Text;
    bool m_InString = false;
};
