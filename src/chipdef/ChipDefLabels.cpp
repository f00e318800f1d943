// ChipDefBase: the short texts that name registers and features for people: a feature's
// location (register, index and bits) with its access flags, a register's label, the note of a
// part feature, and the warnings about reserved list settings and stray register bits.
#include "chipdef/ChipDefBase.h"
#include "chipdef/TextSink.h"

#include "common/Assert.h"
#include "common/Numbers.h"
#include "common/Text.h"

#include <cstdio>
#include <cstring>

namespace {

// Appends "[READONLY,RESERVED] " and the like (the last comma closes the bracket).
void AppendAccessFlags(TextSink& text, bool readOnly, bool writeOnly, bool reserved,
                       bool shortForm) {
    if (!readOnly && !writeOnly && !reserved) {
        return;
    }
    std::string flags = "[";
    if (readOnly) {
        flags += shortForm ? "RO," : "READONLY,";
    } else if (writeOnly) {
        flags += shortForm ? "WO," : "WRITEONLY,";
    }
    if (reserved) {
        flags += shortForm ? "RSVD," : "RESERVED,";
    }
    flags.back() = ']';
    flags += ' ';
    text.Append(flags.c_str());
}

void DropTrailingBlank(char* text) {
    const size_t length = std::strlen(text);
    if (length > 0 && text[length - 1] == ' ') {
        text[length - 1] = '\0';
    }
}

// "Bits 6:0" or "Bit 3" of a mask (short: "b6:0", "b3"), with a blank after it.
void AppendBits(TextSink& text, uint32_t mask, bool shortForm) {
    int32_t high = 0;
    int32_t low = 0;
    MaskBitRange(mask, &high, &low);
    if (high != low) {
        text.Format(shortForm ? "b%d:%d " : "Bits %d:%d ", static_cast<int>(high),
                    static_cast<int>(low));
    } else {
        text.Format(shortForm ? "b%d " : "Bit %d ", static_cast<int>(low));
    }
}

} // namespace

const char* ChipDefBase::GetFeatureLocationText(const char* name, uint32_t flags) {
    uint32_t i = 0;
    if (!ResolveFeature(name, &i)) {
        return nullptr;
    }
    char* buffer = NextText();
    if (!buffer) {
        return nullptr;
    }
    TextSink text(buffer, kTextSize);
    const ChipFeature& f = m_Features[i];
    const bool shortForm = (flags & kLocShort) != 0;
    if (flags & kLocIdentifier) {
        text.Append("FEATURE_");
        text.Append(UpperAsciiCopy(f.KeyName ? f.KeyName : "").c_str());
        return buffer;
    }
    if (flags & kLocName) {
        if (f.Name && f.Name[0] != '\0') {
            text.Append(f.Name);
            text.Append(" ");
        } else {
            const char* suffix = nullptr;
            const char* whole = SplitPartSuffix(name, &suffix);
            if (whole && suffix && FindFeature(whole, nullptr)) {
                text.Format("%s (%s) ",
                            GetFeatureLocationText(whole, flags & (kLocName | kLocShort)), suffix);
            }
        }
    }
    if (flags & kLocBits) {
        AppendBits(text, f.Mask, shortForm);
    } else if (flags & kLocPlace) {
        const int digits = static_cast<int>(m_DefaultIndexWidth);
        if (flags & kLocName) {
            text.Append("(");
        }
        if (f.Spans) {
            text.Append("REG[SPAN]");
            if (f.NeedCode) {
                text.Append("+CODE");
            }
        } else if (f.Reg != kNoRegister) {
            if (f.Indexed) {
                text.Format("INDEX[%0*Xh", digits, f.Reg & f.IndexMask);
            } else {
                text.Format("REG[%0*Xh", digits, f.Reg);
            }
            if (f.Mask == 0xFFFF || f.Mask == kWholeRegister) {
                text.Append("]");
            } else {
                int32_t high = 0;
                int32_t low = 0;
                MaskBitRange(f.Mask, &high, &low);
                if (high != low) {
                    text.Format(shortForm ? "-b%d:%d]" : "] Bits %d:%d", static_cast<int>(high),
                                static_cast<int>(low));
                } else {
                    text.Format(shortForm ? "-b%d]" : "] Bit %d", static_cast<int>(low));
                }
            }
            if (f.Indexed) {
                text.Format(" of REG[%0*Xh]", digits, f.AddrReg);
            }
            if (f.NeedCode) {
                text.Append("+CODE");
            }
        } else {
            text.Append("CODE");
        }
        if (flags & kLocName) {
            text.Append(")");
        }
        text.Append(" ");
    }
    if (flags & kLocAccess) {
        AppendAccessFlags(text, f.ReadOnly, f.WriteOnly,
                          f.Reserved && IsInSelectedProduct(f.Reserved), shortForm);
    }
    DropTrailingBlank(buffer);
    return buffer;
}

const char* ChipDefBase::GetRegisterLabel(uint32_t index, bool UseHCLList, uint32_t flags) {
    uint32_t row = 0;
    uint32_t regIndex = 0;
    if (!FindRegister(index, UseHCLList, &row, &regIndex)) {
        return "UNKNOWN";
    }
    char* buffer = NextText();
    if (!buffer) {
        return "UNKNOWN";
    }
    TextSink text(buffer, kTextSize);
    const ChipRegister& r = m_Registers[row];
    const int digits = static_cast<int>(m_DefaultIndexWidth);
    if (flags & kLocIdentifier) {
        char head[32];
        if (r.FakeReg) {
            std::snprintf(head, sizeof head, "REGFLAG_");
        } else {
            std::snprintf(head, sizeof head, "REG%0*X_", digits, regIndex);
        }
        text.Append(UpperAsciiCopy(std::string(head) + (r.LexName ? r.LexName : "")).c_str());
        return buffer;
    }
    if (flags & kLocPlace) {
        text.Format("REG[%0*Xh]", digits, regIndex);
    }
    if (flags & kLocName) {
        if (text.Used() > 0) {
            text.Append(" ");
        }
        text.Append(r.Name);
    }
    if (flags & kLocAccess) {
        text.Append(" ");
        AppendAccessFlags(text, r.ReadOnly, r.WriteOnly,
                          r.Reserved && IsInSelectedProduct(r.Reserved), (flags & kLocShort) != 0);
    }
    DropTrailingBlank(buffer);
    return buffer;
}

const char* ChipDefBase::GetPartialBitsNote(const char* name) {
    uint32_t i = 0;
    if (!ResolveFeature(name, &i)) {
        return "";
    }
    if (m_Features[i].Desc && m_Features[i].Desc[0] != '\0') {
        return m_Features[i].Desc;
    }
    const char* suffix = nullptr;
    const char* whole = SplitPartSuffix(name, &suffix);
    if (!whole || !suffix || !FindFeature(whole, nullptr)) {
        return "";
    }
    char* buffer = NextText();
    if (!buffer) {
        return "";
    }
    std::snprintf(buffer, kTextSize, "These are partial bits (%s) of the %s.", suffix,
                  GetFeatureLocationText(whole, kLocName));
    return buffer;
}

const char* ChipDefBase::SpaceBeforeDigits(const char* text) {
    static char s_Spaced[256];
    s_Spaced[0] = '\0';
    if (!text) {
        return s_Spaced;
    }
    size_t out = 0;
    bool spaced = false;
    for (const char* p = text; *p != '\0' && out + 2 < sizeof s_Spaced; ++p) {
        if (!spaced && *p >= '0' && *p <= '9') {
            s_Spaced[out++] = ' ';
            spaced = true;
        }
        s_Spaced[out++] = *p;
    }
    s_Spaced[out] = '\0';
    return s_Spaced;
}

uint32_t ChipDefBase::GetWarningText(char* text, uint32_t size) {
    if (!Q3V_ASSERT_TEXT(text != nullptr, "Text!=NULL") || size == 0) {
        return 0;
    }
    text[0] = '\0';
    uint32_t used = 0;
    bool full = false;
    // Whole messages only: the first that does not fit ends the text.
    const auto add = [&](const std::string& message) {
        if (full || used + message.size() >= size) {
            full = true;
            return;
        }
        std::memcpy(text + used, message.c_str(), message.size() + 1);
        used += static_cast<uint32_t>(message.size());
    };
    char line[512];
    for (const ChipFeature& f : m_Features) {
        if (full) {
            break;
        }
        if (f.Type != FT_LIST || !f.KeyName || !IsInSelectedProduct(f.Product) ||
            (f.Reg == kNoRegister && !f.Spans) || f.WriteOnly) {
            continue;
        }
        uint32_t i = 0;
        if (!FindFeature(f.KeyName, &i) || &m_Features[i] != &f) {
            continue;
        }
        const uint32_t raw = GetFeatureRawValue(f.KeyName);
        if (!FindListEntryByValue(i, raw, nullptr)) {
            std::snprintf(line, sizeof line, "WARNING: %s is set to RESERVED setting of %u.\n",
                          GetFeatureLocationText(f.KeyName, kLocName | kLocPlace | kLocShort), raw);
            add(line);
        }
    }
    for (const ChipRegister& r : m_Registers) {
        if (full) {
            break;
        }
        if (r.FakeReg || !IsInSelectedProduct(r.Product) || r.Reg >= 0xF000) {
            continue;
        }
        uint32_t stray = GetRegisterValue(r.Reg, false);
        for (const ChipFeature& f : m_Features) {
            if (f.Reg == r.Reg && IsInSelectedProduct(f.Product)) {
                stray &= ~f.Mask;
            }
        }
        if (stray == 0) {
            continue;
        }
        std::string message;
        uint32_t named = 0;
        std::string runs;
        for (uint32_t bit = 0; bit < 32; ++bit) {
            if ((stray & (1u << bit)) == 0) {
                continue;
            }
            uint32_t high = bit;
            while (high + 1 < 32 && (stray & (1u << (high + 1))) != 0) {
                ++high;
            }
            char run[32];
            if (high != bit) {
                std::snprintf(run, sizeof run, " %u:%u,", high, bit);
            } else {
                std::snprintf(run, sizeof run, " %u,", bit);
            }
            runs += run;
            named += high - bit + 1;
            bit = high;
        }
        runs.pop_back();
        std::snprintf(line, sizeof line, "WARNING: REG[%0*Xh] bit%s",
                      static_cast<int>(m_DefaultIndexWidth), r.Reg, named > 1 ? "s" : "");
        add(line + runs + " should not be set (should be zero).\n");
    }
    return used;
}
