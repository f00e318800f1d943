// The value dialogs' logic over the chip definition's feature setters.
#include "setup/core/FeatureValue.h"

#include "chipdef/ChipDefBase.h"
#include "chipdef/ChipDefRecords.h"
#include "common/Numbers.h"
#include "setup/core/UIFeatures.h"

namespace {

constexpr uint32_t kNameAndAccess = 0x01 | 0x08;

std::string Number(uint32_t value, uint32_t radix) {
    char text[48];
    return NumToStr(text, value, radix, 0, false, false);
}

uint32_t ReadNumber(const std::string& text, uint32_t radix) {
    return text.empty() ? 0 : StrToNumN(text.c_str(), text.size(), radix);
}

} // namespace

int FeatureDialogFor(UIFeatures& model, TreeHandle node) {
    switch (model.GetType(node)) {
    case UIT_TEMPLATE:
        return kDialogTemplate;
    case UIT_ITEM:
        break;
    default:
        return 0;
    }
    if (model.IsReadOnly(node)) {
        return -1;
    }
    const char* feature = model.GetChipDefFeature(node);
    if (feature == nullptr) {
        return 0;
    }
    switch (model.GetChipDef().GetFeatureType(feature)) {
    case FT_NUMB:
        return kDialogNumber;
    case FT_ADDR:
        return kDialogAddress;
    case FT_FREQ:
    case FT_TEXT:
        return kDialogText;
    case FT_LIST:
    case FT_BOOL:
        return kDialogList;
    case FT_SEQU:
        return kDialogSequence;
    default:
        return 0;
    }
}

FeatureValue::FeatureValue(UIFeatures& model, TreeHandle node)
    : m_Model(&model), m_Node(node), m_Feature(model.GetChipDefFeature(node)),
      m_Override(model.GetOverride(node)),
      m_Type(m_Feature != nullptr ? model.GetChipDef().GetFeatureType(m_Feature) : 0) {
    ChipDefBase& chip = model.GetChipDef();
    if (m_Type == FT_ADDR) {
        m_Radix = 16;
    } else if (m_Type == FT_NUMB) {
        const uint32_t radix = chip.GetFeatureRadix(m_Feature);
        m_Radix = radix == 2 || radix == 16 ? radix : 10;
    }
    if (m_Override != nullptr) {
        m_OverrideOn = chip.GetFeatureRawValue(m_Override) != 0;
    }
}

std::string FeatureValue::Title() {
    return m_Model->GetDisplayText(m_Node, kNameAndAccess);
}

std::string FeatureValue::CurrentlyText() {
    if (!m_Warning.empty()) {
        return m_Warning;
    }
    ChipDefBase& chip = m_Model->GetChipDef();
    std::string text = "Currently  =  ";
    if (m_Feature == nullptr) {
        return text;
    }
    if (m_Type == FT_NUMB) {
        // A unit brings its own blank where it wants one (" pixels", ":1").
        text += Number(chip.GetFeatureValue(m_Feature), m_Radix) + Unit();
    } else if (m_Type == FT_TEXT || m_Type == FT_SEQU) {
        const std::string value = OrEmpty(chip.GetFeatureText(m_Feature, true));
        text += value.empty() ? "(empty)" : "\"" + value + "\"";
    } else {
        text += OrEmpty(chip.GetFeatureText(m_Feature, true));
    }
    return text;
}

std::string FeatureValue::OverrideLabel() const {
    const char* label =
        m_OverrideOn ? m_Model->GetOverridePos(m_Node) : m_Model->GetOverrideNeg(m_Node);
    return label != nullptr ? label : "";
}

std::string FeatureValue::EditText() {
    ChipDefBase& chip = m_Model->GetChipDef();
    if (m_Feature == nullptr || chip.IsFeatureWriteOnly(m_Feature)) {
        return {};
    }
    if (m_Type == FT_ADDR) {
        char text[16];
        std::snprintf(text, sizeof text, "%08X", chip.GetFeatureValue(m_Feature));
        return text;
    }
    if (m_Type == FT_NUMB) {
        return Number(chip.GetFeatureValue(m_Feature), m_Radix);
    }
    return OrEmpty(chip.GetFeatureText(m_Feature, true));
}

std::string FeatureValue::Unit() {
    const char* unit =
        m_Feature != nullptr ? m_Model->GetChipDef().GetFeatureUnit(m_Feature) : nullptr;
    return unit != nullptr ? unit : "";
}

std::string FeatureValue::ChangeRadix(const std::string& editText, uint32_t radix) {
    const uint32_t value = ReadNumber(editText, m_Radix);
    m_Radix = radix;
    const std::string text = Number(value, radix);
    if (!m_Warning.empty()) {
        CheckValueRange(text);
    }
    return text;
}

std::string FeatureValue::CheckValueRange(const std::string& editText) {
    ChipDefBase& chip = m_Model->GetChipDef();
    const uint32_t value = ReadNumber(editText, m_Radix);
    const uint32_t min = chip.GetFeatureMin(m_Feature);
    const uint32_t max = chip.GetFeatureMax(m_Feature);
    const uint32_t step = chip.GetFeatureStep(m_Feature);
    if (value < min || value > max) {
        m_Warning =
            "Must be between " + Number(min, m_Radix) + " and " + Number(max, m_Radix) + "!";
    } else if (step != 0 && (value - min) % step != 0) { // a STEP of 0 asks for no alignment
        m_Warning = "Must be aligned by " + std::to_string(step) + "!";
    } else {
        m_Warning.clear();
    }
    return m_Warning;
}

void FeatureValue::WriteOverride() {
    if (m_Override != nullptr) {
        m_Model->GetChipDef().SetFeatureRawValue(m_Override, m_OverrideOn ? 1 : 0);
    }
}

bool FeatureValue::AcceptNumber(const std::string& editText) {
    if (!CheckValueRange(editText).empty()) {
        return false; // nothing is written, not even the override, while the number is refused
    }
    WriteOverride();
    m_Model->GetChipDef().SetFeatureValue(m_Feature, ReadNumber(editText, m_Radix));
    return true;
}

bool FeatureValue::AcceptText(const std::string& text) {
    WriteOverride();
    return m_Model->GetChipDef().SetFeatureText(m_Feature, text.c_str());
}

std::vector<std::string> FeatureValue::ListRows() {
    ChipDefBase& chip = m_Model->GetChipDef();
    std::vector<std::string> rows;
    uint32_t index = 0;
    uint32_t toIndex = 0;
    for (uint32_t n = 0; chip.GetFeatureListEntry(m_Feature, n, &index, &toIndex); ++n) {
        const char* text = chip.FormatFeatureValue(m_Feature, index, true);
        std::string row = text != nullptr ? text : "";
        if (chip.IsListEntryReserved(m_Feature, n)) {
            row += " [RESERVED]";
        }
        rows.push_back(row);
    }
    return rows;
}

int FeatureValue::CurrentRow() {
    ChipDefBase& chip = m_Model->GetChipDef();
    uint32_t row = 0;
    if (chip.IsFeatureWriteOnly(m_Feature) || !chip.GetFeatureListIndex(m_Feature, &row)) {
        return -1;
    }
    return static_cast<int>(row);
}

bool FeatureValue::AcceptListRow(int row) {
    WriteOverride();
    if (row < 0) {
        return true;
    }
    return m_Model->GetChipDef().SetFeatureListIndex(m_Feature, static_cast<uint32_t>(row));
}
