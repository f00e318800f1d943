// The template dialog's logic over the feature model's template items.
#include "setup/core/TemplateChoice.h"

#include "setup/core/UIFeatures.h"

TemplateChoice::TemplateChoice(UIFeatures& model, TreeHandle node) : m_Model(&model), m_Node(node) {
    if (!model.HasTemplateFile(node)) {
        m_Rows.emplace_back(kTextTemplateMissing);
        return;
    }
    if (!model.IsTemplateVersionOk(node)) {
        m_Rows.emplace_back(kTextTemplateMismatched);
        return;
    }
    m_HasTemplates = true;
    for (int n = 0; model.GetTemplate(node, n, nullptr); ++n) {
        m_Rows.push_back(model.GetTemplateName(node, n));
    }
    m_Matching = model.FindMatchingTemplate(node);
}

std::vector<std::string> TemplateChoice::Details(int row) {
    std::vector<std::string> details;
    if (!m_HasTemplates || row < 0) {
        return details;
    }
    for (uint32_t i = 0; m_Model->HasTemplateFeature(m_Node, row, i); ++i) {
        details.push_back(m_Model->GetTemplateFeatureName(m_Node, row, i, 0x01) + "  =  " +
                          m_Model->GetTemplateFeatureValue(m_Node, row, i));
    }
    return details;
}

bool TemplateChoice::Apply(int row, std::string& error) {
    error.clear();
    if (!m_HasTemplates || row < 0) {
        return true; // nothing chosen: nothing to apply
    }
    return m_Model->ApplyTemplate(m_Node, row, error);
}
