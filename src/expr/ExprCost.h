#pragma once
// The bounds on the work of one evaluation. Every text handed to the evaluator by its host is a
// top-level evaluation; the operands, groups, brackets and embedded expressions it evaluates on
// the way nest inside it. Two limits keep hostile texts cheap: the nesting depth (the stack) and
// a budget of steps, where a step is one operator row laid over a text, one leaf evaluated or
// one result taken from the cache of embedded results. Past either limit the text is refused.
//
// The module also keeps what the cache of embedded results needs to stay exact: the deepest
// nesting reached below an evaluation, the resolver calls, and a generation that moves whenever
// the variable table or the resolver changes.
#include <cstdint>

// Deepest nesting of evaluations before the evaluator refuses the text instead of exhausting
// the stack.
constexpr uint32_t kExprMaxDepth = 256;

// Steps one top-level evaluation may take. Ordinary texts take one or two steps per operator
// and leaf: a sum of 60 numbers in 300 characters takes about 120, a text nested as deeply as
// the depth limit allows about 500. A step costs at most about a microsecond on texts of a few
// hundred characters (optimised build), so any such text is decided within a few milliseconds.
constexpr uint32_t kExprMaxSteps = 5000;

// Nesting of the evaluation running now (0 outside any evaluation).
uint32_t ExprDepth();

// Counts one level of nesting for the life of the object.
class ExprDepthGuard {
public:
    ExprDepthGuard();
    ~ExprDepthGuard();
    ExprDepthGuard(const ExprDepthGuard&) = delete;
    ExprDepthGuard& operator=(const ExprDepthGuard&) = delete;
};

// Starts the count of a top-level evaluation: no steps taken, nothing cached.
void ExprCostBegin();
// Ends the top-level evaluation; true when its budget was spent.
bool ExprCostEnd();

// Takes one step; false once the budget is spent (and from then on until the top-level
// evaluation ends).
bool ExprTakeStep();
// Whether the budget of the running top-level evaluation is spent.
bool ExprBudgetSpent();
// Steps taken by the running top-level evaluation, or by the last one when none runs.
uint32_t ExprStepsTaken();

// Deepest nesting reached since the last ExprSetReach (the depth guard raises it).
uint32_t ExprReach();
void ExprSetReach(uint32_t depth);

// The variable table or the resolver changed: results kept so far may no longer hold.
void ExprStateChanged();
// Moves with every ExprStateChanged.
uint32_t ExprGeneration();

// The resolver is being called: the evaluations running now may give another result next time
// (it may answer differently, and reading some registers changes them).
void ExprResolverCalled();
// Resolver calls so far.
uint32_t ExprResolverCalls();

// Marks the evaluation of embedded expressions of a string literal for the life of the object;
// the results of texts evaluated meanwhile may be cached.
class ExprEmbeddedGuard {
public:
    ExprEmbeddedGuard();
    ~ExprEmbeddedGuard();
    ExprEmbeddedGuard(const ExprEmbeddedGuard&) = delete;
    ExprEmbeddedGuard& operator=(const ExprEmbeddedGuard&) = delete;
};
// Whether an embedded expression is being evaluated.
bool ExprInEmbedded();
