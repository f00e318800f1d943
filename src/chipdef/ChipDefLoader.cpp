// ChipDefBase: the XML loader of the chip database (two passes over the same lines: count the
// rows, then fill the tables) and the limits of split features.
#include "chipdef/ChipDefBase.h"

#include "common/Assert.h"
#include "common/Numbers.h"
#include "common/Text.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <expat.h>
#include <memory>
#include <string>

namespace {

bool Is(const char* a, const char* b) {
    return std::strcmp(a, b) == 0;
}

// Low bits of a register value width given in hex digits (any count, 8 and more give all 32).
uint32_t DigitsMask(uint32_t digits) {
    return digits >= 8 ? 0xFFFFFFFFu : (1u << (4 * digits)) - 1u;
}

struct ParserDeleter {
    void operator()(XML_Parser parser) const { XML_ParserFree(parser); }
};
using ParserHandle = std::unique_ptr<std::remove_pointer_t<XML_Parser>, ParserDeleter>;

} // namespace

// The expat handlers; the object is the parser's user data.
struct ChipDefLoadState {
    static void XMLCALL OnCountElement(void* data, const XML_Char* name, const XML_Char**) {
        auto* chip = static_cast<ChipDefBase*>(data);
        if (Is(name, "PRODUCT")) {
            ++chip->m_MaxProducts;
        } else if (Is(name, "CATEGORY")) {
            ++chip->m_MaxCategories;
        } else if (Is(name, "REGISTER")) {
            ++chip->m_MaxRegisters;
        } else if (Is(name, "FEATURE")) {
            ++chip->m_MaxFeatures;
        }
    }
    static void XMLCALL OnCountEnd(void*, const XML_Char*) {}
    static void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char** atts) {
        static_cast<ChipDefBase*>(data)->OnStartElement(name, atts);
    }
    static void XMLCALL OnEnd(void* data, const XML_Char* name) {
        static_cast<ChipDefBase*>(data)->OnEndElement(name);
    }

    // Feeds every line to the parser; the 0-based line of the first error, or lineCount.
    static uint32_t Feed(XML_Parser parser, const char* const* lines, uint32_t lineCount) {
        for (uint32_t i = 0; i < lineCount; ++i) {
            const char* line = lines[i] ? lines[i] : "";
            const bool last = i + 1 == lineCount;
            if (XML_Parse(parser, line, static_cast<int>(std::strlen(line)), last ? 1 : 0) !=
                XML_STATUS_OK) {
                return i;
            }
        }
        if (lineCount == 0 && XML_Parse(parser, "", 0, 1) != XML_STATUS_OK) {
            return 0;
        }
        return lineCount;
    }
};

bool ChipDefBase::LoadXmlDatabase(const char* const* lines, uint32_t lineCount) {
    if (m_MaxProducts != 0 || m_MaxRegisters != 0 || m_MaxFeatures != 0) {
        return true; // the database loads once per object
    }
    ParserHandle parser(XML_ParserCreate(nullptr));
    if (!parser) {
        return false;
    }
    XML_SetUserData(parser.get(), this);
    XML_SetElementHandler(parser.get(), &ChipDefLoadState::OnCountElement,
                          &ChipDefLoadState::OnCountEnd);
    ChipDefLoadState::Feed(parser.get(), lines, lineCount);

    m_Products.reserve(m_MaxProducts);
    m_Categories.reserve(m_MaxCategories);
    m_Registers.reserve(m_MaxRegisters);
    m_Features.reserve(m_MaxFeatures);
    m_TempFValues.clear();
    m_TempFValues.reserve(m_MaxTempFValues);
    m_fInsideFeature = 0;

    XML_ParserReset(parser.get(), nullptr);
    XML_SetUserData(parser.get(), this);
    XML_SetElementHandler(parser.get(), &ChipDefLoadState::OnStart, &ChipDefLoadState::OnEnd);
    const uint32_t failedLine = ChipDefLoadState::Feed(parser.get(), lines, lineCount);
    m_TempFValues.clear();
    m_TempFValues.shrink_to_fit();
    if (failedLine < lineCount || (lineCount == 0)) {
        AddDiagnostic("CHIPDEF ERROR: XML error at line %u: %s.\n", failedLine + 1,
                      XML_ErrorString(XML_GetErrorCode(parser.get())));
        return false;
    }
    return true;
}

void ChipDefBase::OnStartElement(const char* name, const char** atts) {
    if (Is(name, "PRODUCT")) {
        StartProduct(atts);
    } else if (Is(name, "CATEGORY")) {
        StartCategory(atts);
    } else if (Is(name, "REGISTERS")) {
        StartRegisters(atts);
    } else if (Is(name, "REGISTER")) {
        StartRegister(atts);
    } else if (Is(name, "FEATURE")) {
        StartFeature(atts);
    } else if (Is(name, "FEATUREVALUE")) {
        StartFeatureValue(atts);
    }
}

void ChipDefBase::OnEndElement(const char* name) {
    if (Is(name, "FEATURE")) {
        EndFeature();
    }
}

void ChipDefBase::StartProduct(const char** atts) {
    ChipProduct row;
    for (const char** a = atts; a[0]; a += 2) {
        const char* key = a[0];
        const char* value = m_Texts.Copy(a[1]);
        if (Is(key, "KEYNAME")) {
            row.KeyName = value;
        } else if (Is(key, "PREFIX")) {
            row.Prefix = value;
        } else if (Is(key, "NAME")) {
            row.Name = value;
        } else if (Is(key, "SUFFIX")) {
            row.Suffix = value;
        } else if (Is(key, "DESC")) {
            row.Desc = value;
        } else if (Is(key, "VARIANTOF")) {
            row.VariantOf = value;
        } else if (Is(key, "SPEC")) {
            row.Spec = value;
        }
    }
    if (!row.KeyName) {
        AddDiagnostic("CHIPDEF ERROR: %ldth PRODUCT doesn't have a KEYNAME.\n",
                      static_cast<long>(m_Products.size()));
    } else if (!row.Name) {
        AddDiagnostic("CHIPDEF ERROR: %s PRODUCT does not have a NAME.\n", row.KeyName);
    } else if (!row.Desc) {
        AddDiagnostic("CHIPDEF ERROR: %s PRODUCT does not have a DESC.\n", row.KeyName);
    }
    if (m_Products.size() >= m_MaxProducts) {
        AddDiagnostic("CHIPDEF ERROR: Number of PRODUCTs exceeded maximum of %ld.\n",
                      static_cast<long>(m_MaxProducts));
        return;
    }
    m_Products.push_back(row);
}

void ChipDefBase::StartCategory(const char** atts) {
    ChipCategory row;
    for (const char** a = atts; a[0]; a += 2) {
        const char* key = a[0];
        const char* value = m_Texts.Copy(a[1]);
        if (Is(key, "KEYNAME")) {
            row.KeyName = value;
        } else if (Is(key, "NAME")) {
            row.Name = value;
        } else if (Is(key, "RESERVED")) {
            row.Reserved = value;
        } else if (Is(key, "PRODUCT")) {
            row.Product = value;
        }
    }
    if (!row.KeyName) {
        AddDiagnostic("CHIPDEF ERROR: %ldth CATEGORY doesn't have a KEYNAME.\n",
                      static_cast<long>(m_Categories.size()));
    } else if (!row.Name) {
        AddDiagnostic("CHIPDEF ERROR: %s CATEGORY does not have a NAME.\n", row.KeyName);
    }
    if (m_Categories.size() >= m_MaxCategories) {
        AddDiagnostic("CHIPDEF ERROR: Number of CATEGORYs exceeded maximum of %ld.\n",
                      static_cast<long>(m_MaxCategories));
        return;
    }
    m_Categories.push_back(row);
}

void ChipDefBase::StartRegisters(const char** atts) {
    m_DefaultIndexWidth = 4;
    m_DefaultValueWidth = 4;
    for (const char** a = atts; a[0]; a += 2) {
        if (Is(a[0], "DEFAULTINDEXWIDTH")) {
            m_DefaultIndexWidth = StrToNum(a[1], 10);
        } else if (Is(a[0], "DEFAULTVALUEWIDTH")) {
            m_DefaultValueWidth = StrToNum(a[1], 10);
        }
    }
}

void ChipDefBase::StartRegister(const char** atts) {
    ChipRegister row;
    row.BitWidth = m_DefaultValueWidth * 4;
    for (const char** a = atts; a[0]; a += 2) {
        const char* key = a[0];
        const char* value = a[1];
        if (Is(key, "LEXNAME") || Is(key, "KEYNAME")) {
            row.LexName = m_Texts.Copy(value);
        } else if (Is(key, "NAME") || Is(key, "FULLNAME")) {
            row.Name = m_Texts.Copy(value);
        } else if (Is(key, "DESC")) {
            row.Desc = m_Texts.Copy(value);
        } else if (Is(key, "REG")) {
            row.Reg = StrToNum(value, 16);
        } else if (Is(key, "REGEND")) {
            row.RegEnd = StrToNum(value, 16);
        } else if (Is(key, "REGSTEP")) {
            row.RegStep = StrToNum(value, 16);
        } else if (Is(key, "DEFAULT")) {
            row.Default = StrToNum(value, 16);
        } else if (Is(key, "BITWIDTH")) {
            row.BitWidth = StrToNum(value, 10);
        } else if (Is(key, "FAKEREG")) {
            row.FakeReg = 1;
        } else if (Is(key, "SAFETEST")) {
            row.SafeTest = 1;
        } else if (Is(key, "ACCESS")) {
            row.ReadOnly = Is(value, "ro") ? 1 : 0;
            row.WriteOnly = Is(value, "wo") ? 1 : 0;
        } else if (Is(key, "CATEGORY")) {
            row.Category = m_Texts.Copy(value);
        } else if (Is(key, "RESERVED")) {
            row.Reserved = m_Texts.Copy(value);
        } else if (Is(key, "PRODUCT")) {
            row.Product = m_Texts.Copy(value);
        }
    }
    if (!row.LexName) {
        AddDiagnostic("CHIPDEF ERROR: %ldth REGISTER doesn't have a KEYNAME.\n",
                      static_cast<long>(m_Registers.size()));
    } else if (!row.Name) {
        AddDiagnostic("CHIPDEF ERROR: %s REGISTER does not have a NAME.\n", row.LexName);
    }
    if (row.RegEnd == 0) {
        row.RegEnd = row.Reg;
    }
    if (row.BitWidth == 0) {
        AddDiagnostic("CHIPDEF ERROR: REG[%04lX] is not assigned a proper BITWIDTH.\n",
                      static_cast<unsigned long>(row.Reg));
    }
    if (!m_Registers.empty() && !row.FakeReg) {
        const uint32_t previous = m_Registers.back().Reg;
        if (row.Reg == previous) {
            AddDiagnostic("CHIPDEF ERROR: REG[%04lX] is defined twice.\n",
                          static_cast<unsigned long>(row.Reg));
        } else if (row.Reg < previous) {
            AddDiagnostic("CHIPDEF ERROR: REG[%04lX] is not sorted in an ascending order.\n",
                          static_cast<unsigned long>(row.Reg));
        }
    }
    const uint32_t nameLength = row.LexName ? static_cast<uint32_t>(std::strlen(row.LexName)) : 0;
    m_MaxRegIdentLen = std::max(m_MaxRegIdentLen, nameLength + m_DefaultIndexWidth + 4);
    if (row.FakeReg) {
        m_MaxRegIdentLen = std::max(m_MaxRegIdentLen, nameLength + 8);
    }
    if (m_Registers.size() >= m_MaxRegisters) {
        AddDiagnostic("CHIPDEF ERROR: Number of REGISTERs exceeded maximum of %ld.\n",
                      static_cast<long>(m_MaxRegisters));
        return;
    }
    m_Registers.push_back(row);
}

void ChipDefBase::SetFeatureKeyName(ChipFeature& feature, const char* value) {
    if (EqualsNoCase(value, "reserved") && !feature.Reserved) {
        feature.Reserved = m_Texts.Copy("all");
        feature.KeyName = nullptr;
        return;
    }
    std::string key;
    feature.CapitalPos = 1000;
    for (size_t i = 0; value[i] != '\0'; ++i) {
        const char c = value[i];
        if (c >= 'A' && c <= 'Z') {
            if (feature.CapitalPos == 1000) {
                feature.CapitalPos = static_cast<uint32_t>(i);
            }
            key += LowerAscii(c);
        } else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) {
            key += c;
        } else {
            Q3V_ASSERT_TEXT(false, "KEYNAME holds only letters and digits");
        }
    }
    feature.KeyName = m_Texts.Copy(key);
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
        const char* key = a[0];
        const char* value = a[1];
        if (Is(key, "KEYNAME")) {
            SetFeatureKeyName(row, value);
        } else if (Is(key, "NAME") || Is(key, "FULLNAME")) {
            row.Name = m_Texts.Copy(value);
        } else if (Is(key, "DESC")) {
            row.Desc = m_Texts.Copy(value);
        } else if (Is(key, "UNIT")) {
            row.Unit = m_Texts.Copy(value);
        } else if (Is(key, "OP1")) {
            row.Op1 = m_Texts.Copy(value);
        } else if (Is(key, "OP2")) {
            row.Op2 = m_Texts.Copy(value);
        } else if (Is(key, "INDEXOF")) {
            SetFeatureIndexOf(row, value);
        } else if (Is(key, "RESERVED")) {
            if (!row.Reserved) {
                row.Reserved = m_Texts.Copy(value);
            }
        } else if (Is(key, "PRODUCT")) {
            row.Product = m_Texts.Copy(value);
        } else if (Is(key, "INFLUENCES")) {
            row.Influences = m_Texts.Copy(value);
        } else if (Is(key, "TYPE")) {
            static constexpr struct {
                const char* Word;
                uint32_t Type;
            } kTypes[] = {{"numb", FT_NUMB}, {"addr", FT_ADDR}, {"freq", FT_FREQ},
                          {"text", FT_TEXT}, {"list", FT_LIST}, {"bool", FT_BOOL},
                          {"sequ", FT_SEQU}};
            row.Type = 0;
            for (const auto& t : kTypes) {
                if (Is(value, t.Word)) {
                    row.Type = t.Type;
                }
            }
            if (row.Type == FT_ADDR) {
                row.Radix = 16;
            }
        } else if (Is(key, "MIN")) {
            row.Min = StrToNum(value, 16);
            m_MinGiven = true;
        } else if (Is(key, "MAX")) {
            row.Max = StrToNum(value, 16);
            m_MaxGiven = true;
        } else if (Is(key, "STEP")) {
            row.Step = StrToNum(value, 16);
        } else if (Is(key, "MASK")) {
            row.Mask = StrToNum(value, 16);
        } else if (Is(key, "REGEND")) {
            row.RegEnd = StrToNum(value, 16);
        } else if (Is(key, "REGSTEP")) {
            row.RegStep = StrToNum(value, 16);
        } else if (Is(key, "RADIX")) {
            if (row.Type != FT_ADDR) {
                if (Is(value, "bin")) {
                    row.Radix = 2;
                } else if (Is(value, "dec")) {
                    row.Radix = 10;
                } else if (Is(value, "hex")) {
                    row.Radix = 16;
                }
            }
        } else if (Is(key, "INVERTED")) {
            row.Inverted = 1;
        } else if (Is(key, "NEEDCODE")) {
            row.NeedCode = 1;
        } else if (Is(key, "OVERLAP")) {
            row.Overlap = 1;
        } else if (Is(key, "REDRAWPATTERN")) {
            row.RedrawPattern = 1;
        } else if (Is(key, "OFFSETOF")) {
            if (Is(value, "sys")) {
                row.OffsetOf = OF_SYS;
            } else if (Is(value, "base")) {
                row.OffsetOf = OF_BASE;
            } else if (Is(value, "disp")) {
                row.OffsetOf = OF_DISP;
            }
        } else if (Is(key, "REG")) {
            if (Is(value, "span")) {
                row.Spans = 1;
            } else {
                row.Reg = StrToNum(value, 16);
            }
        } else if (Is(key, "ACCESS")) {
            if (Is(value, "ro")) {
                row.ReadOnly = 1;
            } else if (Is(value, "wo")) {
                row.WriteOnly = 1;
            }
        }
    }

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
    } else {
        for (const ChipFeature& earlier : m_Features) {
            if (earlier.KeyName && !Is(earlier.KeyName, "reserved") &&
                Is(earlier.KeyName, row.KeyName) && !earlier.Product && !row.Product) {
                AddDiagnostic("CHIPDEF ERROR: %s is defined twice.\n", row.KeyName);
                break;
            }
        }
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
        const char* zero = row.Inverted ? "True" : "False";
        const char* one = row.Inverted ? "False" : "True";
        ChipFeatureValue no;
        no.Value = m_Texts.Copy(zero);
        ChipFeatureValue yes;
        yes.Index = 1;
        yes.ToIndex = 1;
        yes.Value = m_Texts.Copy(one);
        row.Values = {no, yes};
    }
    m_Features.push_back(std::move(row));
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

void ChipDefBase::SetSpanLimits() {
    for (uint32_t i = 0; i < m_Features.size(); ++i) {
        ChipFeature& feature = m_Features[i];
        if (!feature.Spans || !IsInSelectedProduct(feature.Product)) {
            continue;
        }
        uint32_t max = 0;
        uint32_t position = 0;
        for (uint32_t k = 0; k < 8; ++k) {
            uint32_t iPart = 0;
            if (!FindSplitPart(feature.KeyName, k, &iPart)) {
                Q3V_ASSERT_TEXT(k >= 2, "i>=2");
                continue;
            }
            int32_t high = 0;
            int32_t low = 0;
            MaskBitRange(m_Features[iPart].Mask, &high, &low);
            if (low < 0) {
                continue; // MASK 0 holds no bits
            }
            // Bits that would land past bit 31 are dropped.
            if (position < 32) {
                max |= (m_Features[iPart].Mask >> low) << position;
            }
            position += static_cast<uint32_t>(high - low + 1);
        }
        feature.Max = ApplyFeatureOp(ApplyFeatureOp(max, feature.Op1, false), feature.Op2, false);
        feature.Min = ApplyFeatureOp(ApplyFeatureOp(0, feature.Op1, false), feature.Op2, false);
    }
}
