#pragma once
// The template dialog's logic (dialog 216): the names of the offered templates or the line that
// says why there are none, the matching template, the details of a template, and applying one.
//
//     TemplateChoice choice(*g_UIFeatures, node);
//     std::string error;
//     if (!choice.Apply(1, error)) { ShowMessage(MessageKind::Warning, error); }
#include "common/Tree.h"

#include <string>
#include <vector>

class UIFeatures;

inline constexpr const char kTextTemplateMissing[] = "ERROR: Template file is missing.";
inline constexpr const char kTextTemplateMismatched[] =
    "ERROR: Template file versions are mismatched.";
inline constexpr const char kTextNoTemplateMatches[] =
    "None of the templates match current settings.";

class TemplateChoice {
public:
    TemplateChoice(UIFeatures& model, TreeHandle node);

    // One row per offered template; false when the rows are a single error line instead.
    bool HasTemplates() const { return m_HasTemplates; }
    const std::vector<std::string>& Rows() const { return m_Rows; }
    // The matching template's row, or -1.
    int MatchingRow() const { return m_Matching; }
    // "name  =  value" per FEATURE of the template (row -1: no rows).
    std::vector<std::string> Details(int row);
    // Applies the template; on failure error holds the text for a warning box.
    bool Apply(int row, std::string& error);

private:
    UIFeatures* m_Model;
    TreeHandle m_Node;
    bool m_HasTemplates = false;
    std::vector<std::string> m_Rows;
    int m_Matching = -1;
};
