// The evaluator's entry: trimming, the parenthesis check and group removal, and the splitting of
// a text by the operator table. A text that no row splits is a leaf (ExprLeaf.cpp).
#include "common/Text.h"
#include "expr/ExprInternal.h"
#include "expr/ExprScan.h"

namespace {

uint32_t s_Depth = 0;

// Counts the nesting of evaluations for the depth limit.
class DepthGuard {
public:
    DepthGuard() { ++s_Depth; }
    ~DepthGuard() { --s_Depth; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Trims blanks and tabs; start and end are offsets into text.
void Trim(const char* text, size_t& start, size_t& end) {
    while (start < end && IsBlank(text[start])) {
        ++start;
    }
    while (end > start && IsBlank(text[end - 1])) {
        --end;
    }
}

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

enum class Search { Found, NotFound, Refused };

// Searches the literal from from at the outer level of the text (outside strings, brackets and
// parentheses). Refused when the first match is followed by an excluded character.
Search FindLiteral(const char* text, size_t length, size_t from, const Literal& literal,
                   size_t* pos) {
    ExprQuoteScanner quotes(text);
    int depth = 0;
    for (size_t i = from; i < length; ++i) {
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
        if (depth != 0 || length - i < literal.Length) {
            continue;
        }
        if (CompareNoCase(text + i, literal.Text, literal.Length) != 0) {
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

enum class RowMatch { Applies, DoesNotApply };

// Lays a row's pattern over the text. On Applies the operands are set, or *error is non-zero
// for an operand with nothing in it.
RowMatch MatchRow(const char* patternIn, const char* text, size_t length, uint32_t* start,
                  uint32_t* end, uint32_t* count, uint32_t* error) {
    size_t p = 0;
    bool inOperand = false;
    size_t operandStart = 0;
    *count = 0;
    *error = 0;
    const char* pattern = patternIn;
    while (*pattern != '\0') {
        if (*pattern == 'e') {
            ++pattern;
            inOperand = true;
            operandStart = p;
            continue;
        }
        const Literal literal = ReadLiteral(pattern);
        size_t pos = 0;
        if (FindLiteral(text, length, p, literal, &pos) != Search::Found) {
            return RowMatch::DoesNotApply;
        }
        if (inOperand) {
            if (pos == operandStart) {
                *error = static_cast<uint32_t>(operandStart + 1);
                return RowMatch::Applies;
            }
            start[*count] = static_cast<uint32_t>(operandStart);
            end[*count] = static_cast<uint32_t>(pos);
            ++*count;
            inOperand = false;
        }
        p = pos + literal.Length;
        if (p >= length) {
            return RowMatch::Applies; // the text ends right after the operator
        }
    }
    if (inOperand) {
        start[*count] = static_cast<uint32_t>(operandStart);
        end[*count] = static_cast<uint32_t>(length);
        ++*count;
    }
    return RowMatch::Applies;
}

// Evaluates the trimmed text t (m characters) after group removal; positions within t.
uint32_t EvaluateTrimmed(const char* text, size_t length, ExprValue* value, const char* scope,
                         const char** errorTextOut) {
    for (const ExprOperator* row = g_ExprOperators; row->Handler != nullptr; ++row) {
        uint32_t start[3] = {};
        uint32_t end[3] = {};
        uint32_t count = 0;
        uint32_t error = 0;
        if (MatchRow(row->Pattern, text, length, start, end, &count, &error) != RowMatch::Applies) {
            continue;
        }
        if (error != 0) {
            return ExprFail(errorTextOut, expr_msg::ExpectedExpr, error);
        }
        return row->Handler(text, start, end, count, value, scope, errorTextOut);
    }
    return ExprEvaluateLeaf(text, length, value, scope, errorTextOut);
}

} // namespace

uint32_t ExprEvaluate(const char* text, size_t length, ExprValue* value, const char* scope,
                      const char** errorTextOut) {
    const char* localError = nullptr;
    const char** errorText = errorTextOut != nullptr ? errorTextOut : &localError;
    if (text == nullptr) {
        return ExprFail(errorText, expr_msg::MissingExpr, 1);
    }

    size_t start = 0;
    size_t end = length;
    Trim(text, start, end);
    if (start == end) {
        return ExprFail(errorText, expr_msg::MissingExpr, 1);
    }

    DepthGuard guard;
    if (s_Depth > EXPR_MAX_DEPTH) {
        return ExprFail(errorText, expr_msg::TooDeep, static_cast<uint32_t>(start + 1));
    }

    // Parenthesis check; note where the depth first returns to 0 after an opening "(".
    ExprQuoteScanner quotes(text);
    long depth = 0;
    size_t firstClose = end;
    for (size_t i = start; i < end; ++i) {
        if (quotes.Step(i) || quotes.InString()) {
            continue;
        }
        if (text[i] == '(') {
            ++depth;
        } else if (text[i] == ')') {
            --depth;
            if (depth == 0 && firstClose == end) {
                firstClose = i;
            }
        }
    }
    if (depth != 0) {
        return ExprFail(errorText, expr_msg::ParenMismatch, static_cast<uint32_t>(start + 1));
    }

    // One pair of parentheses around the whole text is removed.
    if (text[start] == '(' && firstClose == end - 1) {
        const size_t open = start;
        ++start;
        --end;
        Trim(text, start, end);
        if (start == end) {
            return ExprFail(errorText, expr_msg::ExpectedExpr, static_cast<uint32_t>(open + 2));
        }
    }

    const uint32_t position = EvaluateTrimmed(text + start, end - start, value, scope, errorText);
    return position == 0 ? 0 : static_cast<uint32_t>(start + position);
}
