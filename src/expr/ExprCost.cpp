// The depth and step counts of the running evaluation, the resolver calls and the generation of
// the variable table and the resolver.
#include "expr/ExprCost.h"

namespace {

uint32_t s_Depth = 0;
uint32_t s_Reach = 0;
uint32_t s_Steps = 0;
bool s_Spent = false;
uint32_t s_Generation = 0;
uint32_t s_ResolverCalls = 0;
uint32_t s_Embedded = 0;

} // namespace

uint32_t ExprDepth() {
    return s_Depth;
}

ExprDepthGuard::ExprDepthGuard() {
    ++s_Depth;
    if (s_Depth > s_Reach) {
        s_Reach = s_Depth;
    }
}

ExprDepthGuard::~ExprDepthGuard() {
    --s_Depth;
}

void ExprCostBegin() {
    s_Steps = 0;
    s_Spent = false;
    s_Reach = 0;
}

bool ExprCostEnd() {
    return s_Spent;
}

bool ExprTakeStep() {
    if (s_Spent) {
        return false;
    }
    if (++s_Steps > kExprMaxSteps) {
        s_Spent = true;
        return false;
    }
    return true;
}

bool ExprBudgetSpent() {
    return s_Spent;
}

uint32_t ExprStepsTaken() {
    return s_Steps;
}

uint32_t ExprReach() {
    return s_Reach;
}

void ExprSetReach(uint32_t depth) {
    s_Reach = depth;
}

void ExprStateChanged() {
    ++s_Generation;
}

uint32_t ExprGeneration() {
    return s_Generation;
}

void ExprResolverCalled() {
    ++s_ResolverCalls;
}

uint32_t ExprResolverCalls() {
    return s_ResolverCalls;
}

ExprEmbeddedGuard::ExprEmbeddedGuard() {
    ++s_Embedded;
}

ExprEmbeddedGuard::~ExprEmbeddedGuard() {
    --s_Embedded;
}

bool ExprInEmbedded() {
    return s_Embedded != 0;
}
