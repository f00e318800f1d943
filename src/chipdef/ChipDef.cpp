// ChipDef: construction from the program's configuration block, product selection and the
// register list kept in the block's register initialisation list.
#include "chipdef/ChipDef.h"

#include "chipdef/ChipDefXml.h"
#include "common/Assert.h"

#include <cstdio>
#include <cstring>

char g_HclIdText[32] = "";

namespace {

// The block's chip ID as a text (the field holds at most 8 characters, NUL-padded).
void ChipIdText(const oxHclData& block, char (&id)[sizeof(oxHclData::szChipId) + 1]) {
    std::memcpy(id, block.szChipId, sizeof block.szChipId);
    id[sizeof block.szChipId] = '\0';
}

} // namespace

ChipDef::ChipDef() {
    std::memcpy(&m_HclData, &oxgHclInfo, sizeof m_HclData);
    m_DefaultIndexWidth = 4;
    m_fRegListImported = 0;
    char id[sizeof(oxHclData::szChipId) + 1];
    ChipIdText(m_HclData, id);
    std::snprintf(g_HclIdText, sizeof g_HclIdText, "%s HAL EXE", id);

    const bool loaded = LoadXmlDatabase(ChipDefXml, ChipDefXmlLineCount);
    Q3V_ASSERT(loaded);

    m_RegListCount = 0;
    while (m_RegListCount < oxHCL_REGSIZE - 1 &&
           oxHclGetReg(m_HclData, m_RegListCount).Index != oxHCL_REG_END) {
        ++m_RegListCount;
    }
    const bool selected = SelectProduct(id);
    Q3V_ASSERT(selected);
    SetSpanLimits();
}

bool ChipDef::SelectProduct(const char* key) {
    if (!ChipDefBase::SelectProduct(key)) {
        return false;
    }
    // The chip-ID field holds 7 characters and the NUL.
    std::memset(m_HclData.szChipId, 0, sizeof m_HclData.szChipId);
    std::memcpy(m_HclData.szChipId, key, strnlen(key, sizeof m_HclData.szChipId - 1));
    return true;
}

// ---- The summary, memory regions, initialisation and hot access come with the chip start ----

const char* ChipDef::GetSummaryText(const char*) {
    return "";
}

bool ChipDef::GetMemoryRegion(uint32_t, uint32_t, char*, uint32_t*, uint32_t*) {
    return false;
}

bool ChipDef::Initialize(uint32_t, const char**) {
    return false;
}

void ChipDef::RedrawPattern() {}

uint32_t ChipDef::ReadRegisterHot(uint32_t) {
    return 0;
}

bool ChipDef::WriteRegisterHot(uint32_t, uint32_t) {
    return false;
}

// ---- The register list ----

bool ChipDef::IsFeatureOutsideRegList(const char* name, uint32_t* regIndex) {
    uint32_t i = 0;
    if (!IsFeatureInProduct(name) || !FindFeature(name, &i)) {
        return true;
    }
    const ChipFeature& feature = m_Features[i];
    if (feature.Spans) {
        for (uint32_t d = 0; d < 8; ++d) {
            char part[160];
            std::snprintf(part, sizeof part, "%sB%u", feature.KeyName, d);
            if (!FindFeature(part, nullptr)) {
                Q3V_ASSERT_TEXT(d >= 2, "i>=2");
                continue;
            }
            if (IsFeatureOutsideRegList(part, regIndex)) {
                return true;
            }
        }
        return false;
    }
    if (feature.Reg == kNoRegister) {
        return false;
    }
    uint32_t pos = 0;
    if (FindRegListEntry(feature.Reg, &pos, true)) {
        return false;
    }
    if (regIndex) {
        *regIndex = feature.Reg;
    }
    return true;
}

uint32_t ChipDef::GetRegListValue(uint32_t pos) {
    return pos < oxHCL_REGSIZE ? oxHclGetReg(m_HclData, pos).Value : 0;
}

bool ChipDef::SetRegListValue(uint32_t pos, uint32_t value) {
    if (pos >= oxHCL_REGSIZE) {
        return false;
    }
    oxHclRegEntry entry = oxHclGetReg(m_HclData, pos);
    entry.Value = static_cast<uint16_t>(value);
    oxHclSetReg(m_HclData, pos, entry);
    return true;
}

bool ChipDef::FindRegListEntry(uint32_t index, uint32_t* pos, bool first) {
    bool found = false;
    for (uint32_t i = 0; i < m_RegListCount; ++i) {
        if (oxHclGetReg(m_HclData, i).Index == index) {
            if (pos) {
                *pos = i;
            }
            found = true;
            if (first) {
                break;
            }
        }
    }
    return found;
}

bool ChipDef::GetRegListIndex(uint32_t pos, uint32_t* index) {
    if (pos > m_RegListCount || pos >= oxHCL_REGSIZE) {
        return false;
    }
    if (index) {
        *index = oxHclGetReg(m_HclData, pos).Index;
    }
    return true;
}
