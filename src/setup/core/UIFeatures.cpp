// The feature tree's queries: hiding, display texts, the resolvers and the diagnostics.
#include "setup/core/UIFeatures.h"

#include "chipdef/ChipDefBase.h"
#include "chipdef/ChipDefRecords.h"
#include "setup/core/UIFeaturesResolver.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

UIFeatures* s_Model = nullptr;

void CopyText(ExprValue* value, const char* text) {
    value->IsString = 1;
    value->Number = 0;
    std::snprintf(value->Text, sizeof value->Text, "%s", text != nullptr ? text : "");
}

} // namespace

void FreeUIFeature(void* data) {
    delete static_cast<UIFeature*>(data);
}

UIFeatures::UIFeatures(ChipDefBase& chipDef, std::string_view description)
    : Tree(FreeUIFeature), m_ChipDef(&chipDef) {
    m_PreviousResolver = ExprGetResolver();
    s_Model = this;
    ExprSetResolver(ResolveName);
    LoadDefinition(description);
}

UIFeatures::~UIFeatures() {
    if (s_Model == this) {
        s_Model = nullptr;
        ExprSetResolver(m_PreviousResolver);
    }
}

UIFeature& UIFeatures::Data(TreeHandle node) const {
    return *static_cast<UIFeature*>(GetData(node));
}

const UIFeature& UIFeatures::Record(TreeHandle node) const {
    return Data(node);
}

uint32_t UIFeatures::GetType(TreeHandle node) const {
    return Data(node).Type;
}

namespace {
const char* OrNull(const std::string& text) {
    return text.empty() ? nullptr : text.c_str();
}
} // namespace

const char* UIFeatures::GetChipDefFeature(TreeHandle node) const {
    return OrNull(Data(node).ChipDefFeature);
}
const char* UIFeatures::GetOverride(TreeHandle node) const {
    return OrNull(Data(node).Override);
}
const char* UIFeatures::GetOverridePos(TreeHandle node) const {
    return OrNull(Data(node).OverridePos);
}
const char* UIFeatures::GetOverrideNeg(TreeHandle node) const {
    return OrNull(Data(node).OverrideNeg);
}
bool UIFeatures::IsInTemplate(TreeHandle node) const {
    return Data(node).InTemplate != 0;
}
void UIFeatures::SetExpanded(TreeHandle node, bool expanded) {
    Data(node).Expanded = expanded ? 1 : 0;
}
bool UIFeatures::IsExpanded(TreeHandle node) const {
    return Data(node).Expanded != 0;
}
bool UIFeatures::HasTemplateFile(TreeHandle node) const {
    return Data(node).HasTemplateFile != 0;
}
bool UIFeatures::IsTemplateVersionOk(TreeHandle node) const {
    return Data(node).TemplateVersionOk != 0;
}

bool UIFeatures::IsReadOnly(TreeHandle node) {
    const UIFeature& item = Data(node);
    if (item.ReadOnly != 0) {
        return true;
    }
    return !item.ChipDefFeature.empty() &&
           m_ChipDef->IsFeatureReadOnly(item.ChipDefFeature.c_str());
}

bool UIFeatures::EvaluateCondition(const std::string& expression, bool* result) {
    ResolverGuard guard(ResolveName, nullptr);
    ExprValue value{};
    const char* errorText = nullptr;
    if (ExprEvaluate(expression.c_str(), expression.size(), &value, nullptr, &errorText) != 0) {
        char line[64];
        std::snprintf(line, sizeof line, "UI ERROR: ");
        std::string message = line + expression + ": " + (errorText ? errorText : "") + "\n";
        if (m_Diagnostics.find(message) == std::string::npos) {
            AddDiagnostic("%s", message.c_str());
        }
        return false;
    }
    *result = value.IsString != 0 ? value.Text[0] != '\0' : value.Number != 0;
    return true;
}

bool UIFeatures::IsHidden(TreeHandle node) {
    const UIFeature& item = Data(node);
    if (!item.Product.empty() && !m_ChipDef->IsInSelectedProduct(item.Product.c_str())) {
        return true;
    }
    if (!item.Reserved.empty() && m_ChipDef->IsInSelectedProduct(item.Reserved.c_str()) &&
        !m_ChipDef->GetShowReserved()) {
        return true;
    }
    if (!item.HideWhen.empty()) {
        bool hidden = false;
        return EvaluateCondition(item.HideWhen, &hidden) && hidden; // a failure shows the item
    }
    return !item.ChipDefFeature.empty() &&
           !m_ChipDef->IsFeatureInProduct(item.ChipDefFeature.c_str());
}

std::string UIFeatures::GetDisplayText(TreeHandle node, uint32_t flags) {
    const UIFeature& item = Data(node);
    const bool reserved = !item.Reserved.empty();
    if (item.ReadOnly != 0 || reserved) {
        std::string text;
        if ((flags & kUIName) != 0) {
            text = !item.Name.empty()            ? item.Name
                   : item.ChipDefFeature.empty() ? std::string()
                                                 : OrEmpty(m_ChipDef->GetFeatureLocationText(
                                                       item.ChipDefFeature.c_str(), kUIName));
        }
        const bool isShort = (flags & kUIShort) != 0;
        text += " [";
        if (item.ReadOnly != 0) {
            text += isShort ? "RO," : "READONLY,";
        }
        if (reserved) {
            text += isShort ? "RSVD," : "RESERVED,";
        }
        text.back() = ']';
        text += ' ';
        return text;
    }
    if ((flags & kUIName) != 0 && !item.Name.empty()) {
        return item.Name;
    }
    if (item.ChipDefFeature.empty()) {
        return item.Name;
    }
    return OrEmpty(m_ChipDef->GetFeatureLocationText(item.ChipDefFeature.c_str(), flags));
}

void UIFeatures::AddDiagnostic(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length > 0 && m_Diagnostics.size() + static_cast<size_t>(length) <= kUIDiagnosticsMax) {
        std::string message(static_cast<size_t>(length), '\0');
        std::vsnprintf(message.data(), message.size() + 1, format, args);
        m_Diagnostics += message;
    }
    va_end(args);
}

uint32_t UIFeatures::ResolveName(const char* text, uint32_t length, ExprValue* value,
                                 const char** errorText) {
    if (s_Model == nullptr) {
        *errorText = "Unknown feature or token.";
        return 1;
    }
    std::string key(text, length);
    for (char& c : key) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    ChipDefBase& chip = *s_Model->m_ChipDef;
    if (!chip.IsFeatureInProduct(key.c_str())) {
        *errorText = "Unknown feature or token.";
        return 1;
    }
    if (chip.IsFeatureWriteOnly(key.c_str())) {
        *errorText = "Cannot show value as this feature is write-only.";
        return 1;
    }
    const uint32_t type = chip.GetFeatureType(key.c_str());
    if (type == FT_TEXT || type == FT_SEQU || value->IsString != 0) {
        CopyText(value, chip.GetFeatureText(key.c_str(), true));
    } else {
        value->IsString = 0;
        value->Number = chip.GetFeatureValue(key.c_str());
        value->Text[0] = '\0';
    }
    return 0;
}

uint32_t UIFeatures::ResolveDefine(const char* text, uint32_t length, ExprValue* value,
                                   const char** /*errorText*/) {
    const UITemplate* entry = TemplateUnderTest();
    const std::string_view token(text, length);
    const char* found = "";
    if (entry != nullptr) {
        for (const UITemplateFeature& feature : entry->Features) {
            if (feature.KeyName.size() == token.size() &&
                strncasecmp(feature.KeyName.c_str(), text, length) == 0) {
                found = feature.Value.c_str();
                break;
            }
        }
    }
    CopyText(value, found);
    return 0;
}
