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

// Trims blanks and tabs; io_Start and io_End are offsets into i_Text.
void Trim(const char* i_Text, size_t& io_Start, size_t& io_End) {
    while (io_Start < io_End && IsBlank(i_Text[io_Start]))
        ++io_Start;
    while (io_End > io_Start && IsBlank(i_Text[io_End - 1]))
        --io_End;
}

// One literal run of a pattern with the characters that must not follow it.
struct Literal {
    const char* Text = nullptr;
    size_t Length = 0;
    const char* Excluded = nullptr;
    size_t ExcludedLength = 0;
};

// Reads the literal run that starts at io_Pattern and moves past it (and its brace group). No
// literal of the table contains the letter e, which marks an operand.
Literal ReadLiteral(const char*& io_Pattern) {
    Literal literal;
    literal.Text = io_Pattern;
    while (*io_Pattern != '\0' && *io_Pattern != 'e' && *io_Pattern != '{')
        ++io_Pattern;
    literal.Length = static_cast<size_t>(io_Pattern - literal.Text);
    if (*io_Pattern == '{') {
        literal.Excluded = ++io_Pattern;
        while (*io_Pattern != '\0' && *io_Pattern != '}')
            ++io_Pattern;
        literal.ExcludedLength = static_cast<size_t>(io_Pattern - literal.Excluded);
        if (*io_Pattern == '}')
            ++io_Pattern;
    }
    return literal;
}

enum class Search { Found, NotFound, Refused };

// Searches the literal from i_From at the outer level of the text (outside strings, brackets and
// parentheses). Refused when the first match is followed by an excluded character.
Search FindLiteral(const char* i_Text, size_t i_Length, size_t i_From, const Literal& i_Literal,
                   size_t* o_Pos) {
    ExprQuoteScanner quotes(i_Text);
    int depth = 0;
    for (size_t i = i_From; i < i_Length; ++i) {
        const char c = i_Text[i];
        if (quotes.Step(i) || quotes.InString())
            continue;
        if (c == '(' || c == '[') {
            ++depth;
            continue;
        }
        if (c == ')' || c == ']') {
            --depth;
            continue;
        }
        if (depth != 0 || i_Length - i < i_Literal.Length)
            continue;
        if (CompareNoCase(i_Text + i, i_Literal.Text, i_Literal.Length) != 0)
            continue;
        const size_t after = i + i_Literal.Length;
        if (after < i_Length) {
            for (size_t x = 0; x < i_Literal.ExcludedLength; ++x)
                if (i_Text[after] == i_Literal.Excluded[x])
                    return Search::Refused;
        }
        *o_Pos = i;
        return Search::Found;
    }
    return Search::NotFound;
}

enum class RowMatch { Applies, DoesNotApply };

// Lays a row's pattern over the text. On Applies the operands are set, or *o_Error is non-zero
// for an operand with nothing in it.
RowMatch MatchRow(const char* i_Pattern, const char* i_Text, size_t i_Length, uint32_t* o_Start,
                  uint32_t* o_End, uint32_t* o_Count, uint32_t* o_Error) {
    size_t p = 0;
    bool inOperand = false;
    size_t operandStart = 0;
    *o_Count = 0;
    *o_Error = 0;
    const char* pattern = i_Pattern;
    while (*pattern != '\0') {
        if (*pattern == 'e') {
            ++pattern;
            inOperand = true;
            operandStart = p;
            continue;
        }
        const Literal literal = ReadLiteral(pattern);
        size_t pos = 0;
        if (FindLiteral(i_Text, i_Length, p, literal, &pos) != Search::Found)
            return RowMatch::DoesNotApply;
        if (inOperand) {
            if (pos == operandStart) {
                *o_Error = static_cast<uint32_t>(operandStart + 1);
                return RowMatch::Applies;
            }
            o_Start[*o_Count] = static_cast<uint32_t>(operandStart);
            o_End[*o_Count] = static_cast<uint32_t>(pos);
            ++*o_Count;
            inOperand = false;
        }
        p = pos + literal.Length;
        if (p >= i_Length)
            return RowMatch::Applies; // the text ends right after the operator
    }
    if (inOperand) {
        o_Start[*o_Count] = static_cast<uint32_t>(operandStart);
        o_End[*o_Count] = static_cast<uint32_t>(i_Length);
        ++*o_Count;
    }
    return RowMatch::Applies;
}

// Evaluates the trimmed text t (m characters) after group removal; positions within t.
uint32_t EvaluateTrimmed(const char* i_Text, size_t i_Length, ExprValue* o_Value,
                         const char* i_Scope, const char** o_ErrorText) {
    for (const ExprOperator* row = g_ExprOperators; row->Handler != nullptr; ++row) {
        uint32_t start[3] = {};
        uint32_t end[3] = {};
        uint32_t count = 0;
        uint32_t error = 0;
        if (MatchRow(row->Pattern, i_Text, i_Length, start, end, &count, &error) !=
            RowMatch::Applies)
            continue;
        if (error != 0)
            return ExprFail(o_ErrorText, expr_msg::ExpectedExpr, error);
        return row->Handler(i_Text, start, end, count, o_Value, i_Scope, o_ErrorText);
    }
    return ExprEvaluateLeaf(i_Text, i_Length, o_Value, i_Scope, o_ErrorText);
}

} // namespace

uint32_t ExprEvaluate(const char* i_Text, size_t i_Length, ExprValue* o_Value, const char* i_Scope,
                      const char** o_ErrorText) {
    const char* localError = nullptr;
    const char** errorText = o_ErrorText != nullptr ? o_ErrorText : &localError;
    if (i_Text == nullptr)
        return ExprFail(errorText, expr_msg::MissingExpr, 1);

    size_t start = 0;
    size_t end = i_Length;
    Trim(i_Text, start, end);
    if (start == end)
        return ExprFail(errorText, expr_msg::MissingExpr, 1);

    DepthGuard guard;
    if (s_Depth > EXPR_MAX_DEPTH)
        return ExprFail(errorText, expr_msg::TooDeep, static_cast<uint32_t>(start + 1));

    // Parenthesis check; note where the depth first returns to 0 after an opening "(".
    ExprQuoteScanner quotes(i_Text);
    long depth = 0;
    size_t firstClose = end;
    for (size_t i = start; i < end; ++i) {
        if (quotes.Step(i) || quotes.InString())
            continue;
        if (i_Text[i] == '(') {
            ++depth;
        } else if (i_Text[i] == ')') {
            --depth;
            if (depth == 0 && firstClose == end)
                firstClose = i;
        }
    }
    if (depth != 0)
        return ExprFail(errorText, expr_msg::ParenMismatch, static_cast<uint32_t>(start + 1));

    // One pair of parentheses around the whole text is removed.
    if (i_Text[start] == '(' && firstClose == end - 1) {
        const size_t open = start;
        ++start;
        --end;
        Trim(i_Text, start, end);
        if (start == end)
            return ExprFail(errorText, expr_msg::ExpectedExpr, static_cast<uint32_t>(open + 2));
    }

    const uint32_t position =
        EvaluateTrimmed(i_Text + start, end - start, o_Value, i_Scope, errorText);
    return position == 0 ? 0 : static_cast<uint32_t>(start + position);
}
