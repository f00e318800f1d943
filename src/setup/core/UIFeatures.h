#pragma once
// UIFeatures: the curated feature tree of Setup's Features tab. A tree of groups, items and
// template items read from the UI description (the built-in one, or a text handed in), bound
// to one chip definition. Template items name a template file of ready-made feature values
// (display panels); the model finds which template matches the current settings and applies
// a chosen one. Values are never cached: every query asks the chip definition.
//
// While a model exists its name resolver answers the expression evaluator, so that HIDEWHEN
// conditions read features by their key names.
//
//     UIFeatures features(g_ChipDef);
//     TreeHandle node = nullptr;
//     for (bool more = features.GetRoot(node); more; more = features.ToNext(node)) { ... }
#include "common/Tree.h"
#include "expr/Expr.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class ChipDefBase;

constexpr uint32_t UIT_GROUP = 0;
constexpr uint32_t UIT_ITEM = 1;
constexpr uint32_t UIT_TEMPLATE = 2;

struct UIDisqualify {
    std::string When;
    std::string Reason;
};

struct UIDefine {
    std::string KeyName;
    std::string Feature; // chip feature key; empty when the define only names a value
    std::string Name;    // display name used when Feature is empty
};

struct UITemplateFeature {
    std::string KeyName;
    std::string Value;
};

struct UITemplate {
    std::string KeyName;
    std::string Name;
    uint8_t Public = 0;
    std::vector<UITemplateFeature> Features;
};

// One UIITEM. Empty texts stand for absent attributes.
struct UIFeature {
    uint32_t Type = UIT_GROUP;
    std::string ChipDefFeature;
    std::string HideWhen;
    std::string Name;
    uint32_t ReadOnly = 0;
    std::string Reserved;
    std::string Product;
    std::string Override;
    std::string OverridePos;
    std::string OverrideNeg;
    std::string TemplateFile;
    std::string FileVer;
    uint8_t HasTemplateFile = 1;
    uint8_t TemplateVersionOk = 1;
    uint8_t InTemplate = 0;
    std::vector<UIDisqualify> Disqualify;
    std::vector<UIDefine> Defines;
    std::vector<UITemplate> Templates;
    uint32_t Expanded = 0;
    uint8_t HideWhenFailed = 0; // its failure has been reported once
};

void FreeUIFeature(void* data);

// Capacities of the description and of template files; entries past them are dropped with a
// diagnostic.
constexpr uint32_t kUIMaxDepth = 8;
constexpr uint32_t kUIMaxTemplateFiles = 6;
constexpr uint32_t kUIMaxTemplates = 100;
constexpr uint32_t kUIMaxTemplateFeatures = 50;
constexpr uint32_t kUIMaxDefines = 50;
constexpr uint32_t kUIMaxDisqualify = 50;
// Longest diagnostics text held.
constexpr size_t kUIDiagnosticsMax = 4095;

// GetDisplayText flags.
constexpr uint32_t kUIName = 0x01;
constexpr uint32_t kUIShort = 0x10;

// A text from the chip definition, empty where it has none (an unknown feature gives nullptr).
inline std::string OrEmpty(const char* text) {
    return text != nullptr ? std::string(text) : std::string();
}

// The built-in UI description.
std::string_view BuiltInUIDescription();

// Whether a template file's VERSION is accepted by an item's FILEVER ("N+", "A-B" or a list).
bool IsTemplateVersionAccepted(const char* fileVer, uint32_t version);

// Template file values marked as scrambled: the plain alphabet and the substitution alphabet
// (the same 73 characters in another order). Unscrambling replaces each character by the plain
// one at its place in the substitution alphabet, a character found nowhere by a blank.
extern const char kTemplatePlainAlphabet[];
extern const char kTemplateSubstitutionAlphabet[];
void UnscrambleTemplateText(std::string& text);

class UIFeatures : public Tree {
public:
    explicit UIFeatures(ChipDefBase& chipDef,
                        std::string_view description = BuiltInUIDescription());
    ~UIFeatures();

    ChipDefBase& GetChipDef() { return *m_ChipDef; }

    // Node queries.
    uint32_t GetType(TreeHandle node) const;
    const char* GetChipDefFeature(TreeHandle node) const; // nullptr when none
    const char* GetOverride(TreeHandle node) const;
    const char* GetOverridePos(TreeHandle node) const;
    const char* GetOverrideNeg(TreeHandle node) const;
    bool IsInTemplate(TreeHandle node) const;
    void SetExpanded(TreeHandle node, bool expanded);
    bool IsExpanded(TreeHandle node) const;
    bool HasTemplateFile(TreeHandle node) const;
    bool IsTemplateVersionOk(TreeHandle node) const;
    bool IsReadOnly(TreeHandle node);
    bool IsHidden(TreeHandle node);
    std::string GetDisplayText(TreeHandle node, uint32_t flags);
    const UIFeature& Record(TreeHandle node) const;

    // Templates of a template item, counted over the available ones (not disqualified).
    bool GetTemplate(TreeHandle node, int n, uint32_t* position);
    std::string GetTemplateName(TreeHandle node, int n);
    int FindMatchingTemplate(TreeHandle node);
    bool MatchTemplate(TreeHandle node, int n);
    bool FindDefine(TreeHandle node, const char* key, uint32_t* index) const;
    bool HasTemplateFeature(TreeHandle node, int n, uint32_t i);
    std::string GetTemplateFeatureName(TreeHandle node, int n, uint32_t i, uint32_t flags);
    std::string GetTemplateFeatureValue(TreeHandle node, int n, uint32_t i);
    bool ApplyTemplate(TreeHandle node, int n, std::string& errorText);

    void AddDiagnostic(const char* format, ...) __attribute__((format(printf, 2, 3)));
    const std::string& GetDiagnosticText() const { return m_Diagnostics; }

    static uint32_t ResolveName(const char* text, uint32_t length, ExprValue* value,
                                const char** errorText);
    static uint32_t ResolveDefine(const char* text, uint32_t length, ExprValue* value,
                                  const char** errorText);

    // Expat's handlers (the model is the parser's user data).
    void OnStartElement(const char* name, const char** atts);
    void OnEndElement(const char* name);

private:
    void LoadDefinition(std::string_view description);
    void LoadTemplateFile(TreeHandle item);
    bool ParseText(const char* text, size_t length);
    UIFeature& Data(TreeHandle node) const;
    void StartItem(const char** atts);
    void StartTemplates(const char** atts);
    void StartTemplate(const char** atts);
    void StartTemplateFeature(const char** atts);
    void PlaceNode(UIFeature* record);
    bool EvaluateCondition(const std::string& expression, bool* result);

    ChipDefBase* m_ChipDef;
    uint32_t m_AddMode = 0;
    TreeHandle m_CurrentNode = nullptr;
    std::vector<uint32_t> m_TypeStack;
    int32_t m_CurrentDepth = 0;
    int32_t m_IgnoreDepth = 0;
    std::vector<TreeHandle> m_TemplatesToLoad;
    uint32_t m_NumTemplateFiles = 0;
    bool m_InTemplateFile = false;
    bool m_Scrambled = false;
    bool m_InTemplate = false; // inside a TEMPLATE that was kept
    std::string m_Diagnostics;
    ExprResolver m_PreviousResolver = nullptr;
};
