// The chip definition's texts as Play shows them, built from the rows of g_ChipDef.
#include "play/ChipTexts.h"

#include "common/Numbers.h"
#include "common/Text.h"
#include "play/PlayChipDef.h"

#include <cstdio>

namespace {

constexpr uint32_t kAllSixteenBits = 0xFFFF;

std::string Format(const char* format, auto... values) {
    char text[128];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

int IndexDigits() {
    return static_cast<int>(g_ChipDef.GetDefaultIndexWidth());
}

// "[READONLY,RESERVED]" and the like, long or short; empty when no flag applies.
std::string AccessFlags(bool readOnly, bool writeOnly, bool reserved, bool shortForm) {
    std::string flags;
    if (readOnly) {
        flags += shortForm ? "RO," : "READONLY,";
    } else if (writeOnly) {
        flags += shortForm ? "WO," : "WRITEONLY,";
    }
    if (reserved) {
        flags += shortForm ? "RSVD," : "RESERVED,";
    }
    if (flags.empty()) {
        return flags;
    }
    flags.back() = ']';
    return "[" + flags;
}

// "REG[24h-b6:0]" (short) or "REG[24h] Bits 6:0" (long) of a feature with a register.
std::string RegisterBits(const ChipFeature& feature, bool shortForm, uint32_t indexWidth) {
    const int digits = static_cast<int>(indexWidth);
    std::string text = feature.Indexed != 0
                           ? Format("INDEX[%0*Xh", digits, feature.Reg & feature.IndexMask)
                           : Format("REG[%0*Xh", digits, feature.Reg);
    if (feature.Mask == kAllSixteenBits) {
        text += "]";
    } else {
        int32_t high = 0;
        int32_t low = 0;
        MaskBitRange(feature.Mask, &high, &low);
        if (high == low) {
            text += shortForm ? Format("-b%d]", high) : Format("] Bit %d", high);
        } else {
            text += shortForm ? Format("-b%d:%d]", high, low) : Format("] Bits %d:%d", high, low);
        }
    }
    if (feature.Indexed != 0) {
        text += Format(" of REG[%0*Xh]", digits, feature.AddrReg);
    }
    return text;
}

} // namespace

std::string FeatureLocationText(const char* name, uint32_t flags, ChipDefBase& chip) {
    uint32_t row = 0;
    if (!chip.FindFeature(name, &row)) {
        return {};
    }
    const ChipFeature& feature = chip.Features()[row];
    const bool shortForm = (flags & kTextShort) != 0;
    std::string text;
    if ((flags & kTextName) != 0 && feature.Name != nullptr && feature.Name[0] != '\0') {
        text += feature.Name;
        text += " ";
    }
    if ((flags & kTextLocation) != 0) {
        const bool named = (flags & kTextName) != 0;
        text += named ? "(" : "";
        if (feature.Spans != 0) {
            text += "REG[SPAN]";
            text += feature.NeedCode != 0 ? "+CODE" : "";
        } else if (feature.Reg != kNoRegister) {
            text += RegisterBits(feature, shortForm, chip.GetDefaultIndexWidth());
            text += feature.NeedCode != 0 ? "+CODE" : "";
        } else {
            text += "CODE";
        }
        text += named ? ") " : " ";
    }
    if ((flags & kTextAccess) != 0) {
        const std::string access = AccessFlags(feature.ReadOnly != 0, feature.WriteOnly != 0,
                                               chip.IsFeatureReserved(feature.KeyName), shortForm);
        text += access.empty() ? "" : access + " ";
    }
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    return text;
}

std::string RegisterLabel(uint32_t index, uint32_t flags) {
    uint32_t row = 0;
    if (!g_ChipDef.FindRegister(index, false, &row, nullptr)) {
        return "UNKNOWN";
    }
    const ChipRegister& reg = g_ChipDef.Registers()[row];
    std::string text;
    if ((flags & kTextLocation) != 0) {
        text += Format("REG[%0*Xh]", IndexDigits(), index);
    }
    if ((flags & kTextName) != 0 && reg.Name != nullptr && reg.Name[0] != '\0') {
        text += text.empty() ? "" : " ";
        text += reg.Name;
    }
    if ((flags & kTextAccess) != 0) {
        const std::string access =
            AccessFlags(reg.ReadOnly != 0, reg.WriteOnly != 0,
                        g_ChipDef.IsRegisterReserved(index, false), (flags & kTextShort) != 0);
        if (!access.empty()) {
            text += text.empty() ? "" : " ";
            text += access;
        }
    }
    return text;
}

std::string FeatureExplanation(const char* /*name*/, uint32_t /*width*/) {
    return {};
}

std::string RegisterDetailText(uint32_t index, uint32_t /*width*/) {
    if (!g_ChipDef.FindRegister(index, false, nullptr, nullptr)) {
        return Format("REG[%0*Xh] does not exist for this chip.", IndexDigits(), index);
    }
    return {};
}
