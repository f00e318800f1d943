#pragma once
// Swapping the expression evaluator's resolver for a while: ResolverGuard installs a resolver
// (and the template the define resolver reads) and puts the earlier ones back when it goes, on
// every path out of the scope.
#include "expr/Expr.h"

struct UITemplate;

// The template whose FEATUREs the define resolver reads; nullptr outside a template test.
const UITemplate* TemplateUnderTest();

class ResolverGuard {
public:
    ResolverGuard(ExprResolver resolver, const UITemplate* templateUnderTest);
    ~ResolverGuard();
    ResolverGuard(const ResolverGuard&) = delete;
    ResolverGuard& operator=(const ResolverGuard&) = delete;

private:
    ExprResolver m_PreviousResolver;
    const UITemplate* m_PreviousTemplate;
};
