// The evaluator's entry: trimming, the parenthesis check and group removal, the bounds on the
// work of one evaluation, and the operator row or leaf that gives the value.
#include "expr/ExprCache.h"
#include "expr/ExprCost.h"
#include "expr/ExprInternal.h"
#include "expr/ExprScan.h"
#include "expr/ExprSplit.h"

namespace {

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

// Evaluates the trimmed text after group removal; positions within it.
uint32_t EvaluateTrimmed(const char* text, size_t length, ExprValue* value, const char* scope,
                         const char** errorText) {
    ExprSplit split;
    switch (ExprSplitText(text, length, &split)) {
    case ExprSplitResult::TooComplex:
        return ExprFail(errorText, expr_msg::kTooComplex, 1);
    case ExprSplitResult::Leaf:
        if (!ExprTakeStep()) {
            return ExprFail(errorText, expr_msg::kTooComplex, 1);
        }
        return ExprEvaluateLeaf(text, length, value, scope, errorText);
    case ExprSplitResult::Row:
        break;
    }
    if (split.EmptyOperand != 0) {
        return ExprFail(errorText, expr_msg::kExpectedExpr, split.EmptyOperand);
    }
    return split.Row->Handler(text, split.Start, split.End, split.Count, value, scope, errorText);
}

// Evaluates a text that is not blank, one level deeper than its caller (errorText never null).
uint32_t EvaluateNested(const char* text, size_t length, ExprValue* value, const char* scope,
                        const char** errorText) {
    size_t start = 0;
    size_t end = length;
    Trim(text, start, end);

    // Parenthesis check; note where the depth first returns to 0 after an opening "(".
    long depth = 0;
    size_t firstClose = end;
    for (size_t i = start; i < end; ++i) {
        if (ExprIsStringQuote(text, i)) {
            i = ExprStringEnd(text, end, i);
        } else if (text[i] == '(') {
            ++depth;
        } else if (text[i] == ')') {
            --depth;
            if (depth == 0 && firstClose == end) {
                firstClose = i;
            }
        }
    }
    if (depth != 0) {
        return ExprFail(errorText, expr_msg::kParenMismatch, static_cast<uint32_t>(start + 1));
    }

    // One pair of parentheses around the whole text is removed.
    if (text[start] == '(' && firstClose == end - 1) {
        const size_t open = start;
        ++start;
        --end;
        Trim(text, start, end);
        if (start == end) {
            return ExprFail(errorText, expr_msg::kExpectedExpr, static_cast<uint32_t>(open + 2));
        }
    }

    const uint32_t position = EvaluateTrimmed(text + start, end - start, value, scope, errorText);
    return position == 0 ? 0 : static_cast<uint32_t>(start + position);
}

} // namespace

uint32_t ExprEvaluate(const char* text, size_t length, ExprValue* value, const char* scope,
                      const char** errorTextOut) {
    const char* localError = nullptr;
    const char** errorText = errorTextOut != nullptr ? errorTextOut : &localError;
    if (text == nullptr) {
        return ExprFail(errorText, expr_msg::kMissingExpr, 1);
    }
    size_t start = 0;
    size_t end = length;
    Trim(text, start, end);
    if (start == end) {
        return ExprFail(errorText, expr_msg::kMissingExpr, 1);
    }

    const bool topLevel = ExprDepth() == 0;
    if (topLevel) {
        ExprCostBegin();
        ExprCacheClear();
    } else if (ExprBudgetSpent()) {
        return ExprFail(errorText, expr_msg::kTooComplex, 1);
    }

    uint32_t position = 0;
    {
        const ExprDepthGuard guard;
        if (ExprDepth() > kExprMaxDepth) {
            return ExprFail(errorText, expr_msg::kTooDeep, static_cast<uint32_t>(start + 1));
        }
        position = ExprInEmbedded()
                       ? ExprEvaluateCached(text, length, value, scope, errorText, EvaluateNested)
                       : EvaluateNested(text, length, value, scope, errorText);
    }

    if (topLevel) {
        ExprCacheClear();
        // A refusal for the cost stands even where an embedded expression passed over it.
        if (ExprCostEnd()) {
            return ExprFail(errorText, expr_msg::kTooComplex, 1);
        }
    }
    return position;
}
