// ChipDef: the register list, kept in the block's register initialisation list: entries by
// position, the search for a register's entries, compaction to the selected product, and the
// test of features against the list.
#include "chipdef/ChipDef.h"

#include "common/Assert.h"

#include <cstdio>

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
    for (uint32_t i = 0; i < m_RegListCount && i < oxHCL_REGSIZE; ++i) {
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
    if (pos > m_RegListCount) {
        return false;
    }
    // A full list has no end mark in the block: the end is implied after its last entry.
    const uint32_t regIndex =
        pos < oxHCL_REGSIZE ? oxHclGetReg(m_HclData, pos).Index : oxHCL_REG_END;
    if (index) {
        *index = regIndex;
    }
    return true;
}

bool ChipDef::GetRegisterIndexByOrdinal(bool UseHCLList, uint32_t n, uint32_t* index) {
    if (!UseHCLList) {
        return GetRegisterIndex(false, n, index, false);
    }
    if (n >= m_RegListCount || n >= oxHCL_REGSIZE) {
        return false;
    }
    if (index) {
        *index = oxHclGetReg(m_HclData, n).Index;
    }
    return true;
}

void ChipDef::CompactRegList() {
    uint32_t end = 0;
    while (end < oxHCL_REGSIZE && oxHclGetReg(m_HclData, end).Index != oxHCL_REG_END) {
        ++end;
    }
    if (end == oxHCL_REGSIZE) {
        // No end mark: the list uses every entry, and every entry is kept.
        m_RegListCount = oxHCL_REGSIZE;
        return;
    }
    uint32_t kept = 0;
    for (uint32_t i = 0; i < end; ++i) {
        const oxHclRegEntry entry = oxHclGetReg(m_HclData, i);
        if (IsRegisterInProduct(entry.Index, false)) {
            oxHclSetReg(m_HclData, kept++, entry);
        }
    }
    const oxHclRegEntry endMark = oxHclGetReg(m_HclData, end);
    m_RegListCount = kept;
    oxHclSetReg(m_HclData, kept, endMark);
    for (uint32_t i = kept + 1; i < oxHCL_REGSIZE; ++i) {
        oxHclSetReg(m_HclData, i, {0, 0});
    }
}

uint32_t ChipDef::FindRegListOccurrences(uint32_t index, const oxHclData& block, uint32_t* first,
                                         uint32_t* second, uint32_t* third) {
    uint32_t count = 0;
    for (uint32_t i = 0; i < oxHCL_REGSIZE; ++i) {
        const oxHclRegEntry entry = oxHclGetReg(block, i);
        if (entry.Index == index) {
            ++count;
            uint32_t* slot = count == 1 ? first : (count == 2 ? second : third);
            if (slot) {
                *slot = i;
            }
        }
        if (entry.Index == oxHCL_REG_END) {
            break;
        }
    }
    return count;
}
