// The Features tab's tree rows and tooltips, built from the feature model.
#include "setup/core/FeatureTree.h"

#include "chipdef/ChipDefBase.h"
#include "chipdef/ChipDefRecords.h"
#include "setup/core/UIFeatures.h"

#include <cctype>

UIFeatures* g_UIFeatures = nullptr;

namespace {

constexpr uint32_t kNameAndAccess = 0x01 | 0x08;
constexpr size_t kExplanationSize = 4096;
constexpr uint32_t kExplanationWidth = 90;

void AddRows(UIFeatures& model, TreeHandle node, int depth, std::vector<FeatureTreeRow>& rows) {
    bool first = true;
    do {
        if (model.IsHidden(node)) {
            continue;
        }
        if (depth == 0 && !first) {
            rows.push_back({nullptr, 0, " ", false, false});
        }
        first = false;
        FeatureTreeRow row;
        row.Node = node;
        row.Depth = depth;
        row.Text = FeatureTreeText(model, node);
        row.Bold = model.GetType(node) == UIT_TEMPLATE;
        row.Expanded = row.Bold || depth == 0 || model.IsExpanded(node);
        if (depth == 0) {
            for (char& c : row.Text) {
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            }
        }
        rows.push_back(row);
        TreeHandle child = node;
        if (model.ToChild(child)) {
            AddRows(model, child, depth + 1, rows);
        }
    } while (model.ToNext(node));
}

std::string Explanation(ChipDefBase& chip, const char* feature) {
    // Grown until the whole explanation fits.
    for (size_t size = kExplanationSize;; size *= 2) {
        std::string text(size, '\0');
        chip.GetFeatureExplanation(feature, text.data(), text.size(), nullptr, "\n", false,
                                   kExplanationWidth);
        text.resize(std::char_traits<char>::length(text.c_str()));
        if (text.size() + 1 < size || size >= (size_t{1} << 24)) {
            return text;
        }
    }
}

} // namespace

std::string FeatureTreeText(UIFeatures& model, TreeHandle node) {
    ChipDefBase& chip = model.GetChipDef();
    std::string text;
    if (model.GetType(node) == UIT_TEMPLATE) {
        text = model.GetDisplayText(node, 0x01) +
               "* =  " + model.GetTemplateName(node, model.FindMatchingTemplate(node));
    } else {
        text = (model.IsInTemplate(node) ? "*" : "") + model.GetDisplayText(node, kNameAndAccess);
    }
    const char* feature = model.GetChipDefFeature(node);
    if (feature != nullptr && !chip.IsFeatureWriteOnly(feature)) {
        const std::string value = OrEmpty(chip.GetFeatureText(feature, true));
        text += "  =  ";
        if (value.empty()) {
            text += "(empty)";
        } else if (chip.GetFeatureType(feature) == FT_TEXT) {
            text += "\"" + value + "\"";
        } else {
            text += value;
        }
    }
    if (const char* override = model.GetOverride(node); override != nullptr) {
        const char* label = chip.GetFeatureRawValue(override) != 0 ? model.GetOverridePos(node)
                                                                   : model.GetOverrideNeg(node);
        text += " [";
        text += label != nullptr ? label : "";
        text += "]";
    }
    return text;
}

std::vector<FeatureTreeRow> BuildFeatureTreeRows(UIFeatures& model) {
    std::vector<FeatureTreeRow> rows;
    TreeHandle root = nullptr;
    if (model.GetRoot(root)) {
        AddRows(model, root, 0, rows);
    }
    return rows;
}

std::string FeatureTreeTip(UIFeatures& model, TreeHandle node) {
    const char* feature = model.GetChipDefFeature(node);
    if (feature == nullptr) {
        return {};
    }
    ChipDefBase& chip = model.GetChipDef();
    std::string text = Explanation(chip, feature);
    if (const char* override = model.GetOverride(node); override != nullptr) {
        const char* pos = model.GetOverridePos(node);
        const char* neg = model.GetOverrideNeg(node);
        text += "\n\n[" + std::string(pos ? pos : "") + "/" + (neg ? neg : "") + "] = ";
        text += Explanation(chip, override);
    }
    return text;
}
