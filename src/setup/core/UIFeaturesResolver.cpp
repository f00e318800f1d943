// The resolver swap used while the feature tree evaluates its conditions.
#include "setup/core/UIFeaturesResolver.h"

namespace {
const UITemplate* s_TemplateUnderTest = nullptr;
} // namespace

const UITemplate* TemplateUnderTest() {
    return s_TemplateUnderTest;
}

ResolverGuard::ResolverGuard(ExprResolver resolver, const UITemplate* templateUnderTest)
    : m_PreviousResolver(ExprGetResolver()), m_PreviousTemplate(s_TemplateUnderTest) {
    ExprSetResolver(resolver);
    s_TemplateUnderTest = templateUnderTest;
}

ResolverGuard::~ResolverGuard() {
    ExprSetResolver(m_PreviousResolver);
    s_TemplateUnderTest = m_PreviousTemplate;
}
