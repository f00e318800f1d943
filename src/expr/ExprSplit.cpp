// Laying the operator table's patterns over a text's outer level.
#include "expr/ExprSplit.h"

#include "common/Text.h"
#include "expr/ExprCost.h"
#include "expr/ExprScan.h"

#include <algorithm>
#include <bitset>
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

// The first character (lower case) of each row's first literal, in table order.
const std::vector<unsigned char>& FirstCharacters() {
    static const std::vector<unsigned char> s_First = [] {
        std::vector<unsigned char> first;
        for (const ExprOperator* row = g_ExprOperators; row->Handler != nullptr; ++row) {
            const char* pattern = row->Pattern;
            while (*pattern == 'e') {
                ++pattern;
            }
            first.push_back(static_cast<unsigned char>(LowerAscii(*pattern)));
        }
        return first;
    }();
    return s_First;
}

// The positions of a text at its outer level, in order, and the characters (lower case) found
// there. A quote that opens or closes a string, the characters inside strings and the bracket
// characters themselves are never at the outer level.
struct OuterLevel {
    std::vector<uint32_t> Positions;
    std::bitset<256> Characters;
};

void FindOuterLevel(const char* text, size_t length, OuterLevel& outer) {
    outer.Positions.clear();
    outer.Characters.reset();
    ExprQuoteScanner quotes(text);
    int depth = 0;
    for (size_t i = 0; i < length; ++i) {
        const char c = text[i];
        if (quotes.Step(i) || quotes.InString()) {
            continue;
        }
        if (c == '(' || c == '[') {
            ++depth;
            continue;
        }
        if (c == ')' || c == ']') {
            --depth;
            continue;
        }
        if (depth == 0) {
            outer.Positions.push_back(static_cast<uint32_t>(i));
            outer.Characters.set(static_cast<unsigned char>(LowerAscii(c)));
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

enum class Search { Found, NotFound, Refused };

// Searches the literal at the outer level of the text from offset from. Refused when the first
// match is followed by an excluded character.
Search FindLiteral(const char* text, size_t length, const OuterLevel& outer, size_t from,
                   const Literal& literal, size_t* pos) {
    const auto first = std::lower_bound(outer.Positions.begin(), outer.Positions.end(), from);
    for (auto it = first; it != outer.Positions.end(); ++it) {
        const size_t i = *it;
        if (length - i < literal.Length) {
            break; // no later position has room either
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

} // namespace

ExprSplitResult ExprSplitText(const char* text, size_t length, ExprSplit* split) {
    // The positions are needed only until a row is chosen, before any operand is evaluated, so
    // one buffer serves every evaluation.
    static OuterLevel s_Outer;
    FindOuterLevel(text, length, s_Outer);
    const std::vector<unsigned char>& first = FirstCharacters();
    size_t index = 0;
    for (const ExprOperator* row = g_ExprOperators; row->Handler != nullptr; ++row, ++index) {
        if (!s_Outer.Characters.test(first[index])) {
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
