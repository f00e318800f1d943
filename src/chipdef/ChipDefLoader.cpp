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
#include <string_view>

namespace {

bool Is(const char* a, const char* b) {
    return std::strcmp(a, b) == 0;
}

struct ParserDeleter {
    void operator()(XML_Parser parser) const { XML_ParserFree(parser); }
};
using ParserHandle = std::unique_ptr<std::remove_pointer_t<XML_Parser>, ParserDeleter>;

} // namespace

// The expat handlers; the object is the parser's user data.
struct ChipDefLoadState {
    struct Counted {
        std::string_view Name;
        uint32_t ChipDefBase::*Capacity;
    };
    static constexpr Counted kCounted[] = {{"PRODUCT", &ChipDefBase::m_MaxProducts},
                                           {"CATEGORY", &ChipDefBase::m_MaxCategories},
                                           {"REGISTER", &ChipDefBase::m_MaxRegisters},
                                           {"FEATURE", &ChipDefBase::m_MaxFeatures}};

    // The counting pass: the start tags PRODUCT, CATEGORY, REGISTER and FEATURE are counted in
    // one scan of the text; "<" stands for nothing else outside comments, CDATA sections and
    // processing instructions, so the count is the parser's count of those elements. Only
    // entities can make elements that the text does not show, and they need a document type
    // declaration: false when the text has one (the caller then counts with the parser).
    static bool CountRows(ChipDefBase& chip, const char* const* lines, uint32_t lineCount) {
        // The lines joined as the parser sees them, without line ends.
        std::string joined;
        for (uint32_t i = 0; i < lineCount; ++i) {
            joined += lines[i] ? lines[i] : "";
        }
        const std::string_view text(joined);
        const auto skipPast = [&](size_t from, std::string_view end) {
            const size_t found = text.find(end, from);
            return found == std::string_view::npos ? text.size() : found + end.size();
        };
        size_t pos = text.find('<');
        while (pos < text.size()) {
            const std::string_view rest = text.substr(pos);
            if (rest.starts_with("<!DOCTYPE")) {
                return false;
            }
            if (rest.starts_with("<!--")) {
                pos = skipPast(pos + 4, "-->");
            } else if (rest.starts_with("<![CDATA[")) {
                pos = skipPast(pos + 9, "]]>");
            } else if (rest.starts_with("<?")) {
                pos = skipPast(pos + 2, "?>");
            } else {
                for (const auto& counted : kCounted) {
                    const std::string_view name = rest.substr(1);
                    if (!name.starts_with(counted.Name)) {
                        continue;
                    }
                    const char after =
                        name.size() > counted.Name.size() ? name[counted.Name.size()] : '\0';
                    if (after == ' ' || after == '\t' || after == '\r' || after == '\n' ||
                        after == '/' || after == '>' || after == '\0') {
                        ++(chip.*counted.Capacity);
                    }
                }
                ++pos;
            }
            pos = text.find('<', pos);
        }
        return true;
    }

    // The counting pass by the parser, for documents with a document type declaration.
    static void XMLCALL OnCountElement(void* data, const XML_Char* name, const XML_Char**) {
        auto* chip = static_cast<ChipDefBase*>(data);
        for (const auto& counted : kCounted) {
            if (name == counted.Name) {
                ++(chip->*counted.Capacity);
            }
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
    if (!ChipDefLoadState::CountRows(*this, lines, lineCount)) {
        m_MaxProducts = m_MaxCategories = m_MaxRegisters = m_MaxFeatures = 0;
        XML_SetUserData(parser.get(), this);
        XML_SetElementHandler(parser.get(), &ChipDefLoadState::OnCountElement,
                              &ChipDefLoadState::OnCountEnd);
        ChipDefLoadState::Feed(parser.get(), lines, lineCount);
        XML_ParserReset(parser.get(), nullptr);
    }

    m_Products.reserve(m_MaxProducts);
    m_Categories.reserve(m_MaxCategories);
    m_Registers.reserve(m_MaxRegisters);
    m_Features.reserve(m_MaxFeatures);
    m_TempFValues.clear();
    m_TempFValues.reserve(m_MaxTempFValues);
    m_fInsideFeature = 0;

    XML_SetUserData(parser.get(), this);
    XML_SetElementHandler(parser.get(), &ChipDefLoadState::OnStart, &ChipDefLoadState::OnEnd);
    const uint32_t failedLine = ChipDefLoadState::Feed(parser.get(), lines, lineCount);
    m_TempFValues.clear();
    m_TempFValues.shrink_to_fit();
    m_KeysWithoutProduct.clear();
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
