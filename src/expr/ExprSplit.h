#pragma once
// The splitting of a trimmed text by the operator table: the first row, in precedence order,
// whose pattern can be laid over the text at its outer level (outside strings, parentheses and
// brackets) gives the operator and its operands; a text that no row splits is a leaf.
//
// The outer level of a text is found once, as runs of positions, and every row is laid over
// them alone; a row whose first literal's first character does not occur there, or whose first
// literal (one without letters) occurs nowhere in the text, is passed over without a scan. Each
// row laid over the text is a step of the evaluation's budget.
#include "expr/Expr.h"

#include <cstddef>
#include <cstdint>

// A split: the row, the start and end offsets of up to 3 operands and their number, or the
// 1-based position of an operand with nothing in it (0 when none).
struct ExprSplit {
    const ExprOperator* Row = nullptr;
    uint32_t Start[3] = {};
    uint32_t End[3] = {};
    uint32_t Count = 0;
    uint32_t EmptyOperand = 0;
};

enum class ExprSplitResult { Row, Leaf, TooComplex };

// Splits the trimmed text (length characters, not empty). TooComplex when the budget was spent
// on the way.
ExprSplitResult ExprSplitText(const char* text, size_t length, ExprSplit* split);
