// Laying the operator table's patterns over a text's outer level.
#include "expr/ExprSplit.h"

#include "common/Text.h"
#include "expr/ExprCost.h"
#include "expr/ExprScan.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// One literal run of a pattern with the characters that must not follow it.
struct Literal {
    const char* Text = nullptr;
    size_t Length = 0;
    const char* Excluded = nullptr;
    size_t ExcludedLength = 0;
};

// Reads the literal run that starts at cursor and moves past it (and its brace group). No
// literal of the table contains the letter e, which marks an operand.
Literal ReadLiteral(const char*& cursor) {
    Literal literal;
    literal.Text = cursor;
    while (*cursor != '\0' && *cursor != 'e' && *cursor != '{') {
        ++cursor;
    }
    literal.Length = static_cast<size_t>(cursor - literal.Text);
    if (*cursor == '{') {
        literal.Excluded = ++cursor;
        while (*cursor != '\0' && *cursor != '}') {
            ++cursor;
        }
        literal.ExcludedLength = static_cast<size_t>(cursor - literal.Excluded);
        if (*cursor == '}') {
            ++cursor;
        }
    }
    return literal;
}

// What a row's first literal lets the split know before any scan: its first character (lower
// case), and the literal itself when it holds no letter, so that its bytes are exact.
struct RowKey {
    unsigned char First = 0;
    Literal Exact;
};

const std::vector<RowKey>& RowKeys() {
    static const std::vector<RowKey> s_Keys = [] {
        std::vector<RowKey> keys;
        for (const ExprOperator* row = g_ExprOperators; row->Handler != nullptr; ++row) {
            const char* pattern = row->Pattern;
            while (*pattern == 'e') {
                ++pattern;
            }
            RowKey key;
            key.First = static_cast<unsigned char>(LowerAscii(*pattern));
            const Literal literal = ReadLiteral(pattern);
            const bool hasLetter =
                std::any_of(literal.Text, literal.Text + literal.Length,
                            [](char c) { return LowerAscii(c) != UpperAscii(c); });
            if (!hasLetter) {
                key.Exact = literal;
            }
            keys.push_back(key);
        }
        return keys;
    }();
    return s_Keys;
}

// The outer level of a text as runs of positions [Start, End), in order, and the characters
// (lower case) found there. A quote that opens or closes a string, the characters inside strings
// and the bracket characters themselves are never at the outer level.
struct Span {
    size_t Start;
    size_t End;
};
struct OuterLevel {
    std::vector<Span> Spans;
    bool Present[256];
};

// A character that changes the state of the scan: a bracket, or a quote that opens a string.
bool ChangesState(const char* text, size_t pos) {
    switch (text[pos]) {
    case '(':
    case '[':
    case ')':
    case ']':
        return true;
    case '"':
        return ExprIsStringQuote(text, pos);
    default:
        return false;
    }
}

void FindOuterLevel(const char* text, size_t length, OuterLevel& outer) {
    outer.Spans.clear();
    std::memset(outer.Present, 0, sizeof(outer.Present));
    long depth = 0;
    for (size_t i = 0; i < length; ++i) {
        if (depth == 0) {
            const size_t start = i;
            while (i < length && !ChangesState(text, i)) {
                outer.Present[static_cast<unsigned char>(LowerAscii(text[i]))] = true;
                ++i;
            }
            if (i > start) {
                outer.Spans.push_back({start, i});
            }
        } else {
            while (i < length && !ChangesState(text, i)) {
                ++i;
            }
        }
        if (i == length) {
            break;
        }
        switch (text[i]) {
        case '(':
        case '[':
            ++depth;
            break;
        case ')':
        case ']':
            --depth;
            break;
        default: // a string: on to its closing quote
            i = ExprStringEnd(text, length, i);
            break;
        }
    }
}

// Whether the literal stands at text + i, ignoring case (the caller made sure it fits).
bool LiteralAt(const char* text, size_t i, const Literal& literal) {
    for (size_t k = 0; k < literal.Length; ++k) {
        if (LowerAscii(text[i + k]) != LowerAscii(literal.Text[k])) {
            return false;
        }
    }
    return true;
}

// The first position from i before end whose character is first (lower case), or end.
size_t NextCandidate(const char* text, size_t i, size_t end, char first) {
    if (LowerAscii(first) == UpperAscii(first)) {
        const void* found = std::memchr(text + i, first, end - i);
        return found == nullptr ? end : static_cast<size_t>(static_cast<const char*>(found) - text);
    }
    while (i < end && LowerAscii(text[i]) != first) {
        ++i;
    }
    return i;
}

enum class Search { Found, NotFound, Refused };

// Searches the literal at the outer level of the text from offset from. Refused when the first
// match is followed by an excluded character.
Search FindLiteral(const char* text, size_t length, const OuterLevel& outer, size_t from,
                   const Literal& literal, size_t* pos) {
    const char first = LowerAscii(literal.Text[0]);
    for (const Span& span : outer.Spans) {
        for (size_t i = std::max(span.Start, from); i < span.End; ++i) {
            i = NextCandidate(text, i, span.End, first);
            if (i == span.End) {
                break;
            }
            if (length - i < literal.Length) {
                return Search::NotFound; // no later position has room either
            }
            if (!LiteralAt(text, i, literal)) {
                continue;
            }
            const size_t after = i + literal.Length;
            if (after < length) {
                for (size_t x = 0; x < literal.ExcludedLength; ++x) {
                    if (text[after] == literal.Excluded[x]) {
                        return Search::Refused;
                    }
                }
            }
            *pos = i;
            return Search::Found;
        }
    }
    return Search::NotFound;
}

// Lays a row's pattern over the text; true when it applies (with the operands set, or
// EmptyOperand set for an operand with nothing in it).
bool MatchRow(const char* text, size_t length, const OuterLevel& outer, ExprSplit* split) {
    size_t p = 0;
    bool inOperand = false;
    size_t operandStart = 0;
    split->Count = 0;
    split->EmptyOperand = 0;
    const char* pattern = split->Row->Pattern;
    while (*pattern != '\0') {
        if (*pattern == 'e') {
            ++pattern;
            inOperand = true;
            operandStart = p;
            continue;
        }
        const Literal literal = ReadLiteral(pattern);
        size_t pos = 0;
        if (FindLiteral(text, length, outer, p, literal, &pos) != Search::Found) {
            return false;
        }
        if (inOperand) {
            if (pos == operandStart) {
                split->EmptyOperand = static_cast<uint32_t>(operandStart + 1);
                return true;
            }
            split->Start[split->Count] = static_cast<uint32_t>(operandStart);
            split->End[split->Count] = static_cast<uint32_t>(pos);
            ++split->Count;
            inOperand = false;
        }
        p = pos + literal.Length;
        if (p >= length) {
            return true; // the text ends right after the operator
        }
    }
    if (inOperand) {
        split->Start[split->Count] = static_cast<uint32_t>(operandStart);
        split->End[split->Count] = static_cast<uint32_t>(length);
        ++split->Count;
    }
    return true;
}

// Whether the row cannot apply: its first literal's first character is not at the outer level,
// or a literal without letters is nowhere in the text.
bool CannotApply(const char* text, size_t length, const OuterLevel& outer, const RowKey& key) {
    if (!outer.Present[key.First]) {
        return true;
    }
    return key.Exact.Length > 1 &&
           memmem(text, length, key.Exact.Text, key.Exact.Length) == nullptr;
}

} // namespace

ExprSplitResult ExprSplitText(const char* text, size_t length, ExprSplit* split) {
    // The positions are needed only until a row is chosen, before any operand is evaluated, so
    // one buffer serves every evaluation.
    static OuterLevel s_Outer;
    FindOuterLevel(text, length, s_Outer);
    const std::vector<RowKey>& keys = RowKeys();
    size_t index = 0;
    for (const ExprOperator* row = g_ExprOperators; row->Handler != nullptr; ++row, ++index) {
        if (CannotApply(text, length, s_Outer, keys[index])) {
            continue;
        }
        if (!ExprTakeStep()) {
            return ExprSplitResult::TooComplex;
        }
        split->Row = row;
        if (MatchRow(text, length, s_Outer, split)) {
            return ExprSplitResult::Row;
        }
    }
    return ExprSplitResult::Leaf;
}
