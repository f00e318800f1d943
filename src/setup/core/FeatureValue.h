#pragma once
// The value dialogs' logic (dialogs 203 numbers, 217 addresses, 204 frequencies and texts, 206
// lists and switches): the dialog a node opens, the title and "Currently" line, the override
// switch, the range check and what OK writes. The dialogs only show it.
//
//     FeatureValue value(*g_UIFeatures, node);
//     if (value.AcceptNumber("140")) { ... the block changed ... }
#include "common/Tree.h"

#include <cstdint>
#include <string>
#include <vector>

class UIFeatures;

constexpr uint32_t kDialogNumber = 203;
constexpr uint32_t kDialogText = 204;
constexpr uint32_t kDialogList = 206;
constexpr uint32_t kDialogSequence = 215;
constexpr uint32_t kDialogTemplate = 216;
constexpr uint32_t kDialogAddress = 217;

inline constexpr const char kTextReadOnlyFeature[] = "This feature is READONLY.";

// The dialog a node opens: 0 for a group, -1 for a read-only item (the box
// kTextReadOnlyFeature says why), else the dialog's number.
int FeatureDialogFor(UIFeatures& model, TreeHandle node);

class FeatureValue {
public:
    FeatureValue(UIFeatures& model, TreeHandle node);

    const char* Feature() const { return m_Feature; }
    uint32_t Type() const { return m_Type; }
    std::string Title();
    // "Currently  =  " and the value, or the range warning while one shows.
    std::string CurrentlyText();
    bool IsWarning() const { return !m_Warning.empty(); }

    // The override switch: shown only when the item has an override feature.
    bool HasOverride() const { return m_Override != nullptr; }
    bool IsOverrideOn() const { return m_OverrideOn; }
    std::string OverrideLabel() const;
    void ToggleOverride() { m_OverrideOn = !m_OverrideOn; }
    // Writes the switch as the override feature's raw value (done first by every OK).
    void WriteOverride();

    // Numbers and addresses.
    uint32_t Radix() const { return m_Radix; }
    // The edit's first text (empty for a write-only feature).
    std::string EditText();
    std::string Unit();
    // Rewrites the edit's number in the new radix; the check runs again while a warning shows.
    std::string ChangeRadix(const std::string& editText, uint32_t radix);
    // Empty when the number is in range and aligned; else the warning, which then shows.
    std::string CheckValueRange(const std::string& editText);
    // Checks first; only a number that passes is written, with the override. False: refused.
    bool AcceptNumber(const std::string& editText);

    // Frequencies and texts: the text setter (an empty text sets an empty value).
    bool AcceptText(const std::string& text);

    // Lists and switches: one row per value that exists for the product.
    std::vector<std::string> ListRows();
    int CurrentRow();
    bool AcceptListRow(int row);

private:
    UIFeatures* m_Model;
    TreeHandle m_Node;
    const char* m_Feature;
    const char* m_Override;
    uint32_t m_Type;
    uint32_t m_Radix = 10;
    bool m_OverrideOn = false;
    std::string m_Warning;
    std::vector<uint32_t> m_ListEntries;
};
