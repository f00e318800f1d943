// ChipDefBase: feature values (register bits <-> raw value <-> value through the feature's
// operations and limits), the limits of split features from their parts, and register values
// (the derived class's register list, or the live chip in hot mode).
#include "chipdef/ChipDefBase.h"

#include "common/Assert.h"
#include "common/Numbers.h"

#include <cstdio>

namespace {

bool IsNumeric(uint32_t type) {
    return type == FT_NUMB || type == FT_ADDR || type == FT_FREQ;
}

// Number of bits of the run of ones that starts at the lowest set bit of mask (0 for mask 0).
uint32_t FieldWidth(uint32_t mask) {
    int32_t high = -1;
    int32_t low = -1;
    MaskBitRange(mask, &high, &low);
    return low < 0 ? 0 : static_cast<uint32_t>(high - low + 1);
}

// value << shift, with bits past bit 31 dropped (a shift of 32 or more gives 0).
uint32_t ShiftUp(uint32_t value, uint32_t shift) {
    return shift >= 32 ? 0 : value << shift;
}
uint32_t ShiftDown(uint32_t value, uint32_t shift) {
    return shift >= 32 ? 0 : value >> shift;
}

} // namespace

void ChipDefBase::ForEachSplitPart(
    const char* key, const std::function<void(uint32_t iPart, uint32_t shift)>& visit) {
    uint32_t shift = 0;
    for (uint32_t d = 0; d < 8; ++d) {
        uint32_t iPart = 0;
        if (!FindSplitPart(key, d, &iPart)) {
            // A split feature has at least the parts B0 and B1; later ones may be missing.
            Q3V_ASSERT_TEXT(d >= 2, "i>=2");
            continue;
        }
        visit(iPart, shift);
        shift += FieldWidth(m_Features[iPart].Mask);
    }
}

void ChipDefBase::SetSpanLimits() {
    for (ChipFeature& feature : m_Features) {
        if (!feature.Spans || !IsInSelectedProduct(feature.Product)) {
            continue;
        }
        uint32_t max = 0;
        // Bits of parts that would land past bit 31 are dropped.
        ForEachSplitPart(feature.KeyName, [&](uint32_t iPart, uint32_t shift) {
            max |= ShiftUp(MaskShiftDown(m_Features[iPart].Mask), shift);
        });
        feature.Max = ApplyFeatureOp(ApplyFeatureOp(max, feature.Op1, false), feature.Op2, false);
        feature.Min = ApplyFeatureOp(ApplyFeatureOp(0, feature.Op1, false), feature.Op2, false);
    }
}

uint32_t ChipDefBase::ApplyFeatureOp(uint32_t value, const char* opText, bool inverse) {
    if (!opText || opText[0] == '\0') {
        return value;
    }
    const uint32_t operand = StrToNum(opText + 1, 10);
    switch (opText[0]) {
    case '*':
        // A factor of 0 has no inverse: the value reads 0.
        return inverse ? (operand == 0 ? 0 : value / operand) : value * operand;
    case '+':
        return inverse ? value - operand : value + operand;
    case '-':
        return inverse ? value + operand : value - operand;
    case '/':
        return inverse ? value * operand : (operand == 0 ? 0 : value / operand);
    case 'e':
        if (!inverse) {
            return 1u << (value % 32);
        }
        return value <= 1 ? 0 : 31u - static_cast<uint32_t>(__builtin_clz(value));
    case 'm':
        if (!inverse) {
            return value == 0 ? 1 : value;
        }
        return value == 1 ? 0 : value;
    default:
        Q3V_ASSERT(false);
        return 0;
    }
}

uint32_t ChipDefBase::ExtractFeatureBits(uint32_t iFeature, uint32_t registerValue) const {
    if (iFeature >= m_Features.size()) {
        return 0;
    }
    const uint32_t mask = m_Features[iFeature].Mask;
    if (mask == kWholeRegister) {
        return registerValue;
    }
    if (mask == 0) {
        return 0; // a field without bits reads 0
    }
    return (registerValue & mask) >> __builtin_ctz(mask);
}

uint32_t ChipDefBase::ReadFeatureRegister(const ChipFeature& feature) {
    if (m_fHotHotHot && feature.Indexed) {
        WriteRegisterHot(feature.AddrReg, feature.Reg & feature.IndexMask);
        return ReadRegisterHot(feature.DataReg);
    }
    if (m_fHotHotHot) {
        return ReadRegisterHot(feature.Reg);
    }
    return GetRegisterValue(feature.Reg, false);
}

bool ChipDefBase::WriteFeatureRegister(const ChipFeature& feature, uint32_t value) {
    if (m_fHotHotHot && feature.Indexed) {
        WriteRegisterHot(feature.AddrReg, feature.Reg & feature.IndexMask);
        return WriteRegisterHot(feature.DataReg, value);
    }
    if (m_fHotHotHot) {
        return WriteRegisterHot(feature.Reg, value);
    }
    return SetRegisterValue(feature.Reg, false, value);
}

uint32_t ChipDefBase::GetFeatureRawValue(const char* name) {
    uint32_t i = 0;
    if (!ResolveFeature(name, &i) ||
        !Q3V_ASSERT_TEXT(m_Features[i].Type != FT_TEXT, "m_Features[iFeature].Type!=FT_TEXT")) {
        return 0;
    }
    Q3V_ASSERT_TEXT(m_Features[i].WriteOnly == 0, "m_Features[iFeature].WriteOnly==false");
    const ChipFeature& feature = m_Features[i];
    if (feature.Spans) {
        uint32_t raw = 0;
        ForEachSplitPart(feature.KeyName, [&](uint32_t iPart, uint32_t shift) {
            raw |= ShiftUp(GetFeatureRawValue(m_Features[iPart].KeyName), shift);
        });
        return raw;
    }
    if (feature.Reg == kNoRegister && !feature.Indexed) {
        return 0; // computed features that the derived class does not answer have no bits
    }
    return ExtractFeatureBits(i, ReadFeatureRegister(feature));
}

bool ChipDefBase::SetFeatureRawValue(const char* name, uint32_t raw) {
    uint32_t i = 0;
    if (!ResolveFeature(name, &i) ||
        !Q3V_ASSERT_TEXT(m_Features[i].Type != FT_TEXT, "m_Features[iFeature].Type != FT_TEXT")) {
        return false;
    }
    const ChipFeature& feature = m_Features[i];
    bool result = true;
    if (feature.Spans) {
        ForEachSplitPart(feature.KeyName, [&](uint32_t iPart, uint32_t shift) {
            const uint32_t partMask = m_Features[iPart].Mask;
            const uint32_t partValue = ShiftDown(raw, shift) & MaskShiftDown(partMask);
            const bool partOk = SetFeatureRawValue(m_Features[iPart].KeyName, partValue);
            result = result && partOk;
        });
    } else {
        if (feature.Reg == kNoRegister && !feature.Indexed) {
            return false; // nowhere to write
        }
        uint32_t newValue = raw;
        if (feature.Mask != kWholeRegister) {
            if (feature.Mask == 0) {
                return false; // a field without bits takes no value
            }
            const uint32_t current = ReadFeatureRegister(feature);
            const uint32_t low = static_cast<uint32_t>(__builtin_ctz(feature.Mask));
            if (raw > (feature.Mask >> low)) {
                return false;
            }
            newValue = ((raw << low) & feature.Mask) | (current & ~feature.Mask);
        }
        result = WriteFeatureRegister(feature, newValue);
    }
    if (m_fHotHotHot && m_fAutoRedraw && m_Features[i].RedrawPattern) {
        m_RedrawPending = 1;
    }
    return result;
}

uint32_t ChipDefBase::GetFeatureValue(const char* name) {
    uint32_t i = 0;
    if (!ResolveFeature(name, &i)) {
        return 0;
    }
    const uint32_t type = m_Features[i].Type;
    if (type == FT_TEXT) {
        Q3V_ASSERT(false);
        return 0;
    }
    if (type == FT_SEQU) {
        return 0;
    }
    const uint32_t raw = GetFeatureRawValue(name);
    if (!IsNumeric(type)) {
        return raw;
    }
    const ChipFeature& feature = m_Features[i];
    uint32_t value = ApplyFeatureOp(ApplyFeatureOp(raw, feature.Op1, false), feature.Op2, false);
    if (value < feature.Min) {
        value = feature.Min;
    }
    if (value > feature.Max) {
        value = feature.Max;
    }
    return value;
}

bool ChipDefBase::SetFeatureValue(const char* name, uint32_t value) {
    uint32_t i = 0;
    if (!ResolveFeature(name, &i)) {
        return false;
    }
    const ChipFeature& feature = m_Features[i];
    if (IsNumeric(feature.Type)) {
        bool inRange = true;
        if (value < feature.Min) {
            value = feature.Min;
            inRange = false;
        }
        if (value > feature.Max) {
            value = feature.Max;
            inRange = false;
        }
        const uint32_t raw =
            ApplyFeatureOp(ApplyFeatureOp(value, feature.Op2, true), feature.Op1, true);
        return SetFeatureRawValue(name, raw) && inRange;
    }
    if (feature.Type == FT_LIST) {
        if (feature.Radix != 10 && feature.Radix != 16) {
            return false;
        }
        char text[16];
        std::snprintf(text, sizeof text, "%X", value);
        return SetFeatureText(name, text);
    }
    if (feature.Type == FT_BOOL) {
        return SetFeatureRawValue(name, value);
    }
    if (feature.Type == FT_TEXT) {
        Q3V_ASSERT(false);
    }
    return false;
}

// ---- Register values ----

uint32_t ChipDefBase::GetRegisterValue(uint32_t index, bool UseHCLList) {
    if (m_fHotHotHot) {
        uint32_t regIndex = index;
        // A list position past the list names no register: nothing is read.
        if (UseHCLList && !GetRegListIndex(index, &regIndex)) {
            return 0;
        }
        return ReadRegisterHot(regIndex);
    }
    if (UseHCLList) {
        return GetRegListValue(index);
    }
    uint32_t pos = 0;
    if (FindRegListEntry(index, &pos, false)) {
        return GetRegListValue(pos);
    }
    uint32_t row = 0;
    return FindRegister(index, false, &row, nullptr) ? m_Registers[row].Default : 0;
}

bool ChipDefBase::SetRegisterValue(uint32_t index, bool UseHCLList, uint32_t value) {
    if (!m_fHotHotHot) {
        if (UseHCLList) {
            return SetRegListValue(index, value);
        }
        uint32_t pos = 0;
        if (!FindRegListEntry(index, &pos, false)) {
            return false; // a register that the list lacks cannot be set outside hot mode
        }
        return SetRegListValue(pos, value);
    }
    uint32_t regIndex = index;
    if (UseHCLList && !GetRegListIndex(index, &regIndex)) {
        Q3V_ASSERT(false);
        return false;
    }
    return WriteRegisterHot(regIndex, value);
}

bool ChipDefBase::SetRegisterValuePair(uint32_t index, uint32_t firstValue, uint32_t secondValue) {
    if (m_fHotHotHot) {
        // The chip ends with the value that the list would leave in it.
        return WriteRegisterHot(index, secondValue);
    }
    uint32_t first = 0;
    uint32_t last = 0;
    if (!Q3V_ASSERT(FindRegListEntry(index, &first, true)) ||
        !Q3V_ASSERT(FindRegListEntry(index, &last, false))) {
        return false;
    }
    return SetRegListValue(first, firstValue) && SetRegListValue(last, secondValue);
}

bool ChipDefBase::SetHotMode(bool on) {
    m_fHotHotHot = on ? 1 : 0;
    return on;
}

bool ChipDefBase::ReleaseChip() {
    if (m_fInitialized) {
        m_fHotHotHot = 1;
        // The chip's software reset: the database names it "swreset".
        if (IsFeatureInProduct("swreset")) {
            SetFeatureRawValue("swreset", 0);
        }
    }
    m_fHotHotHot = 0;
    m_fInitialized = 0;
    return true;
}

// ---- Redraw ----

bool ChipDefBase::SetAutoRedraw(bool on) {
    m_fAutoRedraw = on ? 1 : 0;
    if (on) {
        m_RedrawPending = 1;
    }
    return on;
}

bool ChipDefBase::SetRedrawOption(bool on) {
    m_fRedrawOption = on ? 1 : 0;
    if (on) {
        m_RedrawPending = 1;
    }
    return on;
}

void ChipDefBase::FlushRedraw() {
    if (m_RedrawPending == 0) {
        return;
    }
    --m_RedrawPending;
    if (m_RedrawPending == 0 && m_fAutoRedraw) {
        RedrawPattern();
    }
}
