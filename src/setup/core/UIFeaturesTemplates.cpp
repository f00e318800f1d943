// Template items: which templates are offered, which one matches the chip definition's current
// settings, their feature texts, and applying one.
#include "chipdef/ChipDefBase.h"
#include "setup/core/DebugTrace.h"
#include "setup/core/UIFeatures.h"
#include "setup/core/UIFeaturesResolver.h"

#include <cstring>
#include <strings.h>

namespace {

// A template value this long or longer is traced as "...".
constexpr size_t kTracedValueMax = 512;

} // namespace

const char kTemplatePlainAlphabet[] =
    " 0123456789-+/=.,abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ()_:";
const char kTemplateSubstitutionAlphabet[] =
    "xsEHu+Z,PUlzmF4dIbQhfqoi3y/jGW(n86.t YJ70:=XwkKgpOV9R-_rSMDeNBcL1v5AC2)Ta";
static_assert(sizeof kTemplatePlainAlphabet == 74 && sizeof kTemplateSubstitutionAlphabet == 74);

void UnscrambleTemplateText(std::string& text) {
    for (char& c : text) {
        const char* at = c != '\0' ? std::strchr(kTemplateSubstitutionAlphabet, c) : nullptr;
        c = at != nullptr ? kTemplatePlainAlphabet[at - kTemplateSubstitutionAlphabet] : ' ';
    }
}

bool UIFeatures::GetTemplate(TreeHandle node, int n, uint32_t* position) {
    if (n < 0) {
        return false;
    }
    UIFeature& item = Data(node);
    DebugTrace("-----------------------------------------------------------------\n");
    int available = 0;
    for (uint32_t i = 0; i < item.Templates.size(); ++i) {
        const UIDisqualify* disqualified = nullptr;
        for (const UIDisqualify& rule : item.Disqualify) {
            ResolverGuard guard(ResolveDefine, &item.Templates[i]);
            ExprValue value{};
            const char* errorText = nullptr;
            if (ExprEvaluate(rule.When.c_str(), rule.When.size(), &value, nullptr, &errorText) !=
                0) {
                const std::string message =
                    "UI ERROR: " + rule.When + ": " + (errorText ? errorText : "") + "\n";
                if (m_Diagnostics.find(message) == std::string::npos) {
                    AddDiagnostic("%s", message.c_str());
                }
                disqualified = &rule; // a condition that cannot be read keeps the template back
                break;
            }
            if (value.IsString != 0 ? value.Text[0] != '\0' : value.Number != 0) {
                disqualified = &rule;
                break;
            }
        }
        const bool offered = disqualified == nullptr;
        DebugTrace("%s:%s  [Reason:%s]\n", offered ? "INCLUDED" : "--------",
                   item.Templates[i].Name.c_str(), offered ? "passed" : disqualified->When.c_str());
        if (offered) {
            if (available == n) {
                if (position != nullptr) {
                    *position = i;
                }
                return true;
            }
            ++available;
        }
    }
    return false;
}

std::string UIFeatures::GetTemplateName(TreeHandle node, int n) {
    uint32_t position = 0;
    if (!GetTemplate(node, n, &position)) {
        return "(no match)";
    }
    return Data(node).Templates[position].Name;
}

bool UIFeatures::FindDefine(TreeHandle node, const char* key, uint32_t* index) const {
    const UIFeature& item = Data(node);
    for (uint32_t i = 0; i < item.Defines.size(); ++i) {
        if (strcasecmp(item.Defines[i].KeyName.c_str(), key) == 0) {
            if (index != nullptr) {
                *index = i;
            }
            return true;
        }
    }
    return false;
}

bool UIFeatures::MatchTemplate(TreeHandle node, int n) {
    uint32_t position = 0;
    if (!GetTemplate(node, n, &position)) {
        return false;
    }
    const UIFeature& item = Data(node);
    const UITemplate& entry = item.Templates[position];
    if (entry.Features.empty()) {
        return false;
    }
    for (const UITemplateFeature& feature : entry.Features) {
        uint32_t define = 0;
        if (!FindDefine(node, feature.KeyName.c_str(), &define) ||
            item.Defines[define].Feature.empty()) {
            continue;
        }
        const char* key = item.Defines[define].Feature.c_str();
        if (!m_ChipDef->IsFeatureTextEqual(key, feature.Value.c_str())) {
            DebugTrace("NOT!MATCHED %-40s :: %s(%s) != %s\n", entry.Name.c_str(), key,
                       OrEmpty(m_ChipDef->GetFeatureText(key, true)).c_str(),
                       feature.Value.size() > kTracedValueMax ? "..." : feature.Value.c_str());
            return false;
        }
    }
    DebugTrace("!!MATCHED!! %s\n", entry.Name.c_str());
    return true;
}

int UIFeatures::FindMatchingTemplate(TreeHandle node) {
    DebugTrace("----------------------------------\n");
    for (int n = 0; GetTemplate(node, n, nullptr); ++n) {
        if (MatchTemplate(node, n)) {
            return n;
        }
    }
    return -1;
}

bool UIFeatures::HasTemplateFeature(TreeHandle node, int n, uint32_t i) {
    uint32_t position = 0;
    return GetTemplate(node, n, &position) && i < Data(node).Templates[position].Features.size();
}

std::string UIFeatures::GetTemplateFeatureName(TreeHandle node, int n, uint32_t i, uint32_t flags) {
    if (!HasTemplateFeature(node, n, i)) {
        return {};
    }
    uint32_t position = 0;
    GetTemplate(node, n, &position);
    const UIFeature& item = Data(node);
    const UITemplateFeature& feature = item.Templates[position].Features[i];
    uint32_t define = 0;
    if (!FindDefine(node, feature.KeyName.c_str(), &define)) {
        return feature.KeyName;
    }
    const UIDefine& entry = item.Defines[define];
    if (!entry.Name.empty() || entry.Feature.empty()) {
        return entry.Name;
    }
    return OrEmpty(m_ChipDef->GetFeatureLocationText(entry.Feature.c_str(), flags));
}

std::string UIFeatures::GetTemplateFeatureValue(TreeHandle node, int n, uint32_t i) {
    uint32_t position = 0;
    if (!HasTemplateFeature(node, n, i) || !GetTemplate(node, n, &position)) {
        return {};
    }
    return Data(node).Templates[position].Features[i].Value;
}

bool UIFeatures::ApplyTemplate(TreeHandle node, int n, std::string& errorText) {
    errorText.clear();
    uint32_t position = 0;
    if (!GetTemplate(node, n, &position)) {
        errorText = "Template does not exist.";
        return false;
    }
    const UIFeature& item = Data(node);
    bool allSet = true;
    for (const UITemplateFeature& feature : item.Templates[position].Features) {
        uint32_t define = 0;
        if (!FindDefine(node, feature.KeyName.c_str(), &define) ||
            item.Defines[define].Feature.empty()) {
            continue;
        }
        const char* key = item.Defines[define].Feature.c_str();
        if (feature.Value == OrEmpty(m_ChipDef->GetFeatureText(key, true))) {
            continue;
        }
        if (m_ChipDef->SetFeatureText(key, feature.Value.c_str())) {
            continue;
        }
        if (allSet) {
            errorText = "ERROR LOADING TEMPLATE:";
            allSet = false;
        }
        errorText += "\nCould not set ";
        errorText += OrEmpty(m_ChipDef->GetFeatureLocationText(key, 0x01 | 0x08 | 0x10));
        errorText += " to '" + feature.Value + "' (it remains '";
        errorText += OrEmpty(m_ChipDef->GetFeatureText(key, true));
        errorText += "').";
    }
    return allSet;
}
