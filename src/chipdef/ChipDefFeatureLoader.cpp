// ChipDefBase: the FEATURE and FEATUREVALUE elements of the chip database.
#include "chipdef/ChipDefBase.h"

#include "common/Assert.h"
#include "common/Numbers.h"
#include "common/Text.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

bool Is(const char* a, const char* b) {
    return std::strcmp(a, b) == 0;
}

// Low bits of a register value width given in hex digits (8 and more give all 32).
uint32_t DigitsMask(uint32_t digits) {
    return digits >= 8 ? 0xFFFFFFFFu : (1u << (4 * digits)) - 1u;
}

enum class FeatureAttr {
    None,
    KeyName,
    Name,
    Desc,
    Unit,
    Op1,
    Op2,
    IndexOf,
    Reserved,
    Product,
    Influences,
    Type,
    Min,
    Max,
    Step,
    Mask,
    RegEnd,
    RegStep,
    Radix,
    Inverted,
    NeedCode,
    Overlap,
    RedrawPattern,
    OffsetOf,
    Reg,
    Access,
};

// The attribute that a name stands for; the first letter is tested before the name, so a
// FEATURE of many attributes costs few comparisons.
FeatureAttr FeatureAttrOf(const char* name) {
    static constexpr struct {
        const char* Name;
        FeatureAttr Attr;
    } kAttrs[] = {
        {"KEYNAME", FeatureAttr::KeyName},
        {"NAME", FeatureAttr::Name},
        {"FULLNAME", FeatureAttr::Name},
        {"DESC", FeatureAttr::Desc},
        {"UNIT", FeatureAttr::Unit},
        {"OP1", FeatureAttr::Op1},
        {"OP2", FeatureAttr::Op2},
        {"INDEXOF", FeatureAttr::IndexOf},
        {"RESERVED", FeatureAttr::Reserved},
        {"PRODUCT", FeatureAttr::Product},
        {"INFLUENCES", FeatureAttr::Influences},
        {"TYPE", FeatureAttr::Type},
        {"MIN", FeatureAttr::Min},
        {"MAX", FeatureAttr::Max},
        {"STEP", FeatureAttr::Step},
        {"MASK", FeatureAttr::Mask},
        {"REGEND", FeatureAttr::RegEnd},
        {"REGSTEP", FeatureAttr::RegStep},
        {"RADIX", FeatureAttr::Radix},
        {"INVERTED", FeatureAttr::Inverted},
        {"NEEDCODE", FeatureAttr::NeedCode},
        {"OVERLAP", FeatureAttr::Overlap},
        {"REDRAWPATTERN", FeatureAttr::RedrawPattern},
        {"OFFSETOF", FeatureAttr::OffsetOf},
        {"REG", FeatureAttr::Reg},
        {"ACCESS", FeatureAttr::Access},
    };
    for (const auto& a : kAttrs) {
        if (a.Name[0] == name[0] && Is(a.Name, name)) {
            return a.Attr;
        }
    }
    return FeatureAttr::None;
}

uint32_t FeatureTypeOf(const char* word) {
    static constexpr struct {
        const char* Word;
        uint32_t Type;
    } kTypes[] = {{"numb", FT_NUMB}, {"addr", FT_ADDR}, {"freq", FT_FREQ}, {"text", FT_TEXT},
                  {"list", FT_LIST}, {"bool", FT_BOOL}, {"sequ", FT_SEQU}};
    for (const auto& t : kTypes) {
        if (Is(word, t.Word)) {
            return t.Type;
        }
    }
    return 0;
}

} // namespace

void ChipDefBase::SetFeatureKeyName(ChipFeature& feature, const char* value) {
    if (EqualsNoCase(value, "reserved") && !feature.Reserved) {
        feature.Reserved = m_Texts.Copy("all");
        feature.KeyName = nullptr;
        return;
    }
    char* key = m_Texts.Allocate(std::strlen(value) + 1);
    size_t length = 0;
    feature.CapitalPos = 1000;
    for (size_t i = 0; value[i] != '\0'; ++i) {
        const char c = value[i];
        if (c >= 'A' && c <= 'Z') {
            if (feature.CapitalPos == 1000) {
                feature.CapitalPos = static_cast<uint32_t>(i);
            }
            key[length++] = LowerAscii(c);
        } else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) {
            key[length++] = c;
        } else {
            Q3V_ASSERT_TEXT(false, "KEYNAME holds only letters and digits");
        }
    }
    key[length] = '\0';
    feature.KeyName = key;
}

void ChipDefBase::SetFeatureIndexOf(ChipFeature& feature, const char* value) {
    feature.Indexed = 1;
    feature.IndexOf = m_Texts.Copy(value);
    const std::string base(value);
    uint32_t iAddr = 0;
    uint32_t iData = 0;
    if (FindFeature((base + "ADDR").c_str(), &iAddr)) {
        feature.AddrReg = m_Features[iAddr].Reg;
    }
    if (FindFeature((base + "DATA").c_str(), &iData)) {
        feature.DataReg = m_Features[iData].Reg;
    }
    feature.IndexMask = DigitsMask(GetRegisterValueWidth(feature.Reg, false));
}

void ChipDefBase::ApplyFeatureAttribute(ChipFeature& row, const char* name, const char* value) {
    switch (FeatureAttrOf(name)) {
    case FeatureAttr::KeyName:
        SetFeatureKeyName(row, value);
        break;
    case FeatureAttr::Name:
        row.Name = m_Texts.Copy(value);
        break;
    case FeatureAttr::Desc:
        row.Desc = m_Texts.Copy(value);
        break;
    case FeatureAttr::Unit:
        row.Unit = m_Texts.Copy(value);
        break;
    case FeatureAttr::Op1:
        row.Op1 = m_Texts.Copy(value);
        break;
    case FeatureAttr::Op2:
        row.Op2 = m_Texts.Copy(value);
        break;
    case FeatureAttr::IndexOf:
        SetFeatureIndexOf(row, value);
        break;
    case FeatureAttr::Reserved:
        if (!row.Reserved) {
            row.Reserved = m_Texts.Copy(value);
        }
        break;
    case FeatureAttr::Product:
        row.Product = m_Texts.Copy(value);
        break;
    case FeatureAttr::Influences:
        row.Influences = m_Texts.Copy(value);
        break;
    case FeatureAttr::Type:
        row.Type = FeatureTypeOf(value);
        if (row.Type == FT_ADDR) {
            row.Radix = 16;
        }
        break;
    case FeatureAttr::Min:
        row.Min = StrToNum(value, 16);
        m_MinGiven = true;
        break;
    case FeatureAttr::Max:
        row.Max = StrToNum(value, 16);
        m_MaxGiven = true;
        break;
    case FeatureAttr::Step:
        row.Step = StrToNum(value, 16);
        break;
    case FeatureAttr::Mask:
        row.Mask = StrToNum(value, 16);
        break;
    case FeatureAttr::RegEnd:
        row.RegEnd = StrToNum(value, 16);
        break;
    case FeatureAttr::RegStep:
        row.RegStep = StrToNum(value, 16);
        break;
    case FeatureAttr::Radix:
        if (row.Type != FT_ADDR) {
            if (Is(value, "bin")) {
                row.Radix = 2;
            } else if (Is(value, "dec")) {
                row.Radix = 10;
            } else if (Is(value, "hex")) {
                row.Radix = 16;
            }
        }
        break;
    case FeatureAttr::Inverted:
        row.Inverted = 1;
        break;
    case FeatureAttr::NeedCode:
        row.NeedCode = 1;
        break;
    case FeatureAttr::Overlap:
        row.Overlap = 1;
        break;
    case FeatureAttr::RedrawPattern:
        row.RedrawPattern = 1;
        break;
    case FeatureAttr::OffsetOf:
        if (Is(value, "sys")) {
            row.OffsetOf = OF_SYS;
        } else if (Is(value, "base")) {
            row.OffsetOf = OF_BASE;
        } else if (Is(value, "disp")) {
            row.OffsetOf = OF_DISP;
        }
        break;
    case FeatureAttr::Reg:
        if (Is(value, "span")) {
            row.Spans = 1;
        } else {
            row.Reg = StrToNum(value, 16);
        }
        break;
    case FeatureAttr::Access:
        if (Is(value, "ro")) {
            row.ReadOnly = 1;
        } else if (Is(value, "wo")) {
            row.WriteOnly = 1;
        }
        break;
    case FeatureAttr::None:
        break;
    }
}

void ChipDefBase::StartFeature(const char** atts) {
    if (m_Features.size() >= m_MaxFeatures) {
        AddDiagnostic("CHIPDEF ERROR: Number of FEATUREs exceeded maximum of %ld.\n",
                      static_cast<long>(m_MaxFeatures));
        return;
    }
    if (m_fInsideFeature && !m_Features.empty()) {
        const char* outer = m_Features.back().KeyName;
        AddDiagnostic("CHIPDEF ERROR: %s has a child FEATURE.\n", outer ? outer : "");
    }
    m_fInsideFeature = 1;
    m_MinGiven = false;
    m_MaxGiven = false;
    // Values of an earlier feature never carry over into this one.
    m_TempFValues.clear();

    ChipFeature row;
    for (const char** a = atts; a[0]; a += 2) {
        ApplyFeatureAttribute(row, a[0], a[1]);
    }
    FinishFeature(row);
    m_Features.push_back(std::move(row));
}

void ChipDefBase::FinishFeature(ChipFeature& row) {
    if (!row.KeyName && row.Reserved) {
        int32_t high = 0;
        int32_t low = 0;
        MaskBitRange(row.Mask, &high, &low);
        char key[128];
        if (high == low) {
            std::snprintf(key, sizeof key, "rsvd%Xb%d", row.Reg, static_cast<int>(low));
        } else {
            std::snprintf(key, sizeof key, "rsvd%Xb%dto%d", row.Reg, static_cast<int>(high),
                          static_cast<int>(low));
        }
        row.KeyName = m_Texts.Copy(key);
        row.Type = FT_NUMB;
    }
    if (!row.KeyName) {
        AddDiagnostic("CHIPDEF ERROR: %ldth FEATURE doesn't have a KEYNAME.\n",
                      static_cast<long>(m_Features.size()));
    } else if (!row.Product && !Is(row.KeyName, "reserved") &&
               !m_KeysWithoutProduct.insert(row.KeyName).second) {
        AddDiagnostic("CHIPDEF ERROR: %s is defined twice.\n", row.KeyName);
    }
    if (row.Type == 0) {
        AddDiagnostic("CHIPDEF ERROR: %s has an unknown TYPE.\n", row.KeyName ? row.KeyName : "");
    }
    if (row.Type == FT_NUMB || row.Type == FT_ADDR || row.Type == FT_FREQ) {
        if (!m_MinGiven) {
            row.Min = ApplyFeatureOp(ApplyFeatureOp(0, row.Op1, false), row.Op2, false);
        }
        if (!m_MaxGiven) {
            const uint32_t rawMax = MaskShiftDown(row.Mask);
            row.Max = rawMax < 0xFFFFFFFF
                          ? ApplyFeatureOp(ApplyFeatureOp(rawMax, row.Op1, false), row.Op2, false)
                          : 0xFFFFFFFF;
        }
    }
    if (row.Type == FT_BOOL) {
        ChipFeatureValue no;
        no.Value = row.Inverted ? "True" : "False";
        ChipFeatureValue yes;
        yes.Index = 1;
        yes.ToIndex = 1;
        yes.Value = row.Inverted ? "False" : "True";
        row.Values = {no, yes};
    }
}

void ChipDefBase::StartFeatureValue(const char** atts) {
    // A value belongs to the open FEATURE; one outside any FEATURE, or under a feature that is
    // no list, is reported and dropped.
    if (!m_fInsideFeature || m_Features.empty()) {
        AddDiagnostic("%s", "CHIPDEF ERROR: FEATUREVALUE outside a FEATURE.\n");
        return;
    }
    const ChipFeature& feature = m_Features.back();
    const char* key = feature.KeyName ? feature.KeyName : "";
    if (feature.Type != FT_LIST) {
        AddDiagnostic("CHIPDEF ERROR: %s has a FEATUREVALUEs but is not defined as "
                      "TYPE=\"list\".\n",
                      key);
        return;
    }
    if (m_TempFValues.size() >= m_MaxTempFValues) {
        AddDiagnostic("CHIPDEF ERROR: Number of FEATUREVALUEs exceeded maximum of %ld.\n",
                      static_cast<long>(m_MaxTempFValues));
        return;
    }
    ChipFeatureValue value;
    for (const char** a = atts; a[0]; a += 2) {
        const char* name = a[0];
        if (Is(name, "INDEX")) {
            value.Index = StrToNum(a[1], 16);
        } else if (Is(name, "TOINDEX")) {
            value.ToIndex = StrToNum(a[1], 16);
        } else if (Is(name, "VALUE")) {
            value.Value = m_Texts.Copy(a[1]);
        } else if (Is(name, "READVALUE")) {
            value.ReadValue = m_Texts.Copy(a[1]);
        } else if (Is(name, "WRITEVALUE")) {
            value.WriteValue = m_Texts.Copy(a[1]);
        } else if (Is(name, "RESERVED")) {
            value.Reserved = m_Texts.Copy(a[1]);
        } else if (Is(name, "PRODUCT")) {
            value.Product = m_Texts.Copy(a[1]);
        }
    }
    if (!value.Value && !value.ReadValue && !value.WriteValue) {
        AddDiagnostic("CHIPDEF ERROR: %s has a FEATUREVALUEs but one of them isn't NAMEd.\n", key);
    }
    if (value.ToIndex < value.Index) {
        value.ToIndex = value.Index;
    }
    m_TempFValues.push_back(value);
}

void ChipDefBase::EndFeature() {
    m_fInsideFeature = 0;
    if (m_Features.empty()) {
        m_TempFValues.clear();
        return;
    }
    ChipFeature& feature = m_Features.back();
    if (feature.Type == FT_LIST) {
        if (!feature.NeedCode && m_TempFValues.empty()) {
            AddDiagnostic("CHIPDEF ERROR: %s is missing FEATUREVALUEs.\n",
                          feature.KeyName ? feature.KeyName : "");
        }
        feature.Values.assign(m_TempFValues.begin(), m_TempFValues.end());
    }
    m_TempFValues.clear();
}

bool ChipDefBase::FindSplitPart(const char* name, uint32_t digit, uint32_t* iPart) {
    char part[160];
    std::snprintf(part, sizeof part, "%sB%u", name ? name : "", digit);
    return FindFeature(part, iPart);
}
